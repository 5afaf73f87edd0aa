#include <QRegularExpression>

#include "tests/e2e/e2e_fixture.h"

namespace wavorin::e2e {
namespace {

// What a screen reader finds, one "role|name|shortcut" line per object.
QString accessibility_tree(const Program& program, const QStringList& then = {}) {
  return Desktop::run(
      "/usr/bin/python3",
      QStringList{WAVORIN_E2E_DIR "/atspi_tree.py", QString::number(program.pid())} + then);
}

TEST_F(ProgramTest, ScreenReadersFindFourNamedPushButtonsThatPressAsClicks) {
  const SessionBus bus;
  ASSERT_TRUE(bus.up());
  program.replace_sound("click.wav", marker_tone(0.2, 6));
  program.set_env("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
  ASSERT_TRUE(program.start());
  const QString tree = accessibility_tree(program, {"press", "Play"});
  EXPECT_TRUE(tree.contains(
      QRegularExpression("^\\s*(frame|window)\\|Wavorin\\|", QRegularExpression::MultilineOption)))
      << tree.toStdString();
  EXPECT_TRUE(tree.contains("  push button|Play|P\n")) << tree.toStdString();
  EXPECT_TRUE(tree.contains("  push button|Stop|S\n")) << tree.toStdString();
  EXPECT_TRUE(tree.contains("  push button|Open file|Ctrl+O\n")) << tree.toStdString();
  EXPECT_TRUE(tree.contains("  push button|Close|Ctrl+Q\n")) << tree.toStdString();
  EXPECT_EQ(tree.count("push button"), 4);
  Desktop::settle(1000);
  const auto out = program.audio();
  const long click_at = find_samples(out, read_wave(program.folder() + "/click.wav"));
  ASSERT_GE(click_at, 0) << "the press action did not click";
  auto tune = read_wave(program.folder() + "/sample1.wav");
  tune.resize(22050);
  EXPECT_GE(find_samples(out, tune, click_at), 0) << "the press action did not play";
  program.kill();

  Program japanese;
  japanese.set_env("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
  japanese.set_env("LANG", "ja_JP.UTF-8");
  ASSERT_TRUE(japanese.start());
  const QString names = accessibility_tree(japanese);
  for (const char* name : {"再生", "停止", "ファイルを開く", "終了"})
    EXPECT_TRUE(names.contains(QString("push button|%1|").arg(QString::fromUtf8(name))))
        << names.toStdString();
}

}  // namespace
}  // namespace wavorin::e2e
