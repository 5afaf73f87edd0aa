<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja">
<context>
    <name>wavorin::StartupMessages</name>
    <message>
        <source>Usage: wavorin [options] [FILE]</source>
        <translation>使い方: wavorin [オプション] [ファイル]</translation>
    </message>
    <message>
        <source>Plays wave files in a small window shaped like a jukebox. With FILE, plays that
file at start, as if it had been chosen with Open and Play had been pressed.</source>
        <translation>ジュークボックスの形をした小さなウィンドウで WAVE ファイルを再生します。
ファイルを指定すると、「ファイルを開く」で選んで「再生」を押したときと同じように、
起動後にそのファイルを再生します。</translation>
    </message>
    <message>
        <source>Options:
  -h, --help     Show this help and exit.
  -v, --version  Show the version and exit.</source>
        <translation>オプション:
  -h, --help     このヘルプを表示して終了します。
  -v, --version  バージョンを表示して終了します。</translation>
    </message>
    <message>
        <source>wavorin: unknown option &apos;%1&apos;</source>
        <translation>wavorin: 不明なオプション &apos;%1&apos;</translation>
    </message>
    <message>
        <source>wavorin: only one FILE can be played</source>
        <translation>wavorin: 再生できるファイルは一つだけです</translation>
    </message>
    <message>
        <source>wavorin: cannot open a window: no display found (DISPLAY and WAYLAND_DISPLAY name no running X server or Wayland compositor)</source>
        <translation>wavorin: ウィンドウを開けません: ディスプレイが見つかりません (DISPLAY と WAYLAND_DISPLAY が、動いている X サーバーも Wayland コンポジターも指していません)</translation>
    </message>
    <message>
        <source>wavorin: cannot open a window: the toolkit failed to start: %1</source>
        <translation>wavorin: ウィンドウを開けません: ツールキットを起動できませんでした: %1</translation>
    </message>
</context>
</TS>
