<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>wavorin::AccessibleButton</name>
    <message>
        <source>Play</source>
        <translation>再生</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>停止</translation>
    </message>
    <message>
        <source>Open file</source>
        <translation>ファイルを開く</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>終了</translation>
    </message>
</context>
<context>
    <name>wavorin::Messages</name>
    <message>
        <source>Cannot play &quot;%1&quot;: it is missing, unreadable or not a wave file this program can play. Choose another file with Open.</source>
        <translation type="vanished">「%1」を再生できません。ファイルが見つからないか、読み込めないか、このプログラムで再生できる WAVE ファイルではありません。「ファイルを開く」で別のファイルを選んでください。</translation>
    </message>
    <message>
        <source>No sound device could be opened, so sounds play silently. Check that a sound device is connected and not in use, then start the program again.</source>
        <translation type="vanished">サウンドデバイスを開けなかったため、音を鳴らさずに再生します。サウンドデバイスが接続され、ほかのプログラムに使われていないことを確かめてから、プログラムを起動し直してください。</translation>
    </message>
    <message>
        <source>The sound device stopped working while a sound played. Check the device, then press Play again.</source>
        <translation>再生中にサウンドデバイスが動かなくなりました。デバイスを確かめてから、もう一度「再生」を押してください。</translation>
    </message>
    <message>
        <source>Cannot play &quot;%1&quot;: the file is missing. Choose another file with Open.</source>
        <translation>「%1」を再生できません。ファイルが見つかりません。「ファイルを開く」で別のファイルを選んでください。</translation>
    </message>
    <message>
        <source>Cannot play &quot;%1&quot;: the file cannot be read. Check its permissions, or choose another file with Open.</source>
        <translation>「%1」を再生できません。ファイルを読み込めません。アクセス権を確かめるか、「ファイルを開く」で別のファイルを選んでください。</translation>
    </message>
    <message>
        <source>Cannot play &quot;%1&quot;: it is not a wave file this program can play. Choose another file with Open.</source>
        <translation>「%1」を再生できません。このプログラムで再生できる WAVE ファイルではありません。「ファイルを開く」で別のファイルを選んでください。</translation>
    </message>
    <message>
        <source>&quot;%1&quot; could not be read to its end: the file is cut short or damaged.</source>
        <translation>「%1」を最後まで読み込めませんでした。ファイルが途中で切れているか、壊れています。</translation>
    </message>
    <message>
        <source>No sound device could be opened, so sounds play silently. Check that a sound device is connected and not in use, then press Play again.</source>
        <translation>サウンドデバイスを開けなかったため、音を鳴らさずに再生します。サウンドデバイスが接続され、ほかのプログラムに使われていないことを確かめてから、もう一度「再生」を押してください。</translation>
    </message>
    <message>
        <source>Settings not saved</source>
        <translation>設定を保存できませんでした</translation>
    </message>
    <message>
        <source>The window position and the folder were not saved: %1 is not a regular file, so it was left as it is.</source>
        <translation>ウィンドウの位置とフォルダーを保存しませんでした。%1 は通常のファイルではないため、そのまま残しています。</translation>
    </message>
    <message>
        <source>The window position and the folder could not be saved to %1: the disk is full.</source>
        <translation>ウィンドウの位置とフォルダーを %1 に保存できませんでした。ディスクがいっぱいです。</translation>
    </message>
    <message>
        <source>The window position and the folder could not be saved to %1: its folder cannot be written.</source>
        <translation>ウィンドウの位置とフォルダーを %1 に保存できませんでした。保存先のフォルダーに書き込めません。</translation>
    </message>
    <message>
        <source>The window position and the folder were not saved: %1 cannot be read, so it was left as it is. Check its permissions.</source>
        <translation>ウィンドウの位置とフォルダーを保存しませんでした。%1 を読み込めないため、そのまま残しています。ファイルのアクセス権を確かめてください。</translation>
    </message>
</context>
<context>
    <name>wavorin::OpenFileDialog</name>
    <message>
        <source>%1
is not a regular file.</source>
        <translation>%1
は通常のファイルではありません。</translation>
    </message>
</context>
</TS>
