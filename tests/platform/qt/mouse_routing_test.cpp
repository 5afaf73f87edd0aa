// Where the mouse goes: clicks to the button Images, moves to the window,
// caption drags moving the window, tool tips over the Images only.

#include <QApplication>
#include <QDropEvent>
#include <QHelpEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QTest>
#include <QToolTip>

#include "tests/platform/qt/host_fixture.h"

namespace wavorin::test {
namespace {

using MouseRouting = HostFixture;

void send_move(QWidget* w, QPoint at, Qt::MouseButtons held,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QMouseEvent move(QEvent::MouseMove, QPointF(at), QPointF(w->mapToGlobal(at)), Qt::NoButton, held,
                   modifiers);
  QApplication::sendEvent(w, &move);
}

std::vector<std::string> clicks(const RecordingEvents& events) {
  std::vector<std::string> result;
  for (const std::string& call : events.calls) {
    if (call.ends_with("_Click")) result.push_back(call);
  }
  return result;
}

TEST_F(MouseRouting, ClickOnEachShownButtonRaisesItsHandler) {
  EXPECT_EQ(run_script([this] {
              QWidget* w = host_->widget();
              for (Element b : {Element::b_ply, Element::b_stp, Element::b_opn, Element::b_cls}) {
                QTest::mouseClick(w, Qt::LeftButton, {}, button_rect(b).topLeft());
              }
              // Right and middle clicks are not clicks.
              QTest::mouseClick(w, Qt::RightButton, {}, button_rect(Element::b_ply).center());
              QTest::mouseClick(w, Qt::MiddleButton, {}, button_rect(Element::b_ply).center());
            }),
            0);
  EXPECT_EQ(clicks(events_),
            (std::vector<std::string>{"b_ply_Click", "b_stp_Click", "b_opn_Click", "b_cls_Click"}));
}

TEST_F(MouseRouting, ReleaseAwayFromThePressedButtonRaisesNothing) {
  run_script([this] {
    QWidget* w = host_->widget();
    QTest::mousePress(w, Qt::LeftButton, {}, button_rect(Element::b_ply).center());
    QTest::mouseRelease(w, Qt::LeftButton, {}, button_rect(Element::b_stp).center());
    QTest::mousePress(w, Qt::LeftButton, {}, button_rect(Element::b_ply).center());
    QTest::mouseRelease(w, Qt::LeftButton, {}, QPoint(5, 200));
    // A press on the window released over a button is no click either.
    QTest::mousePress(w, Qt::LeftButton, {}, QPoint(5, 200));
    QTest::mouseRelease(w, Qt::LeftButton, {}, button_rect(Element::b_stp).center());
  });
  EXPECT_TRUE(clicks(events_).empty());
}

TEST_F(MouseRouting, HiddenButtonsTakeNoInput) {
  run_script([this] {
    host_->set_Visible(Element::b_opn, false);
    QWidget* w = host_->widget();
    QTest::mouseClick(w, Qt::LeftButton, {}, button_rect(Element::b_opn).center());
    send_move(w, button_rect(Element::b_opn).center(), Qt::NoButton);
  });
  EXPECT_TRUE(clicks(events_).empty());
  ASSERT_EQ(events_.moves.size(), 1U);
  EXPECT_EQ(events_.moves[0].x, static_cast<float>(button_rect(Element::b_opn).center().x()));
}

TEST_F(MouseRouting, MovesOverTheWindowReportButtonsShiftAndPixels) {
  run_script([this] {
    QWidget* w = host_->widget();
    send_move(w, {30, 40}, Qt::NoButton);
    send_move(w, button_rect(Element::b_ply).center(), Qt::NoButton);  // taken by the Image
    QTest::mousePress(w, Qt::LeftButton, {}, {112, 60});
    send_move(w, {113, 61}, Qt::LeftButton);
    QTest::mouseRelease(w, Qt::LeftButton, {}, {113, 61});
    QTest::mousePress(w, Qt::RightButton, {}, {50, 300});
    send_move(w, {51, 300}, Qt::RightButton | Qt::MiddleButton,
              Qt::ShiftModifier | Qt::ControlModifier);
    QTest::mouseRelease(w, Qt::RightButton, {}, {51, 300});
    send_move(w, {0, 355}, Qt::NoButton, Qt::AltModifier);
  });
  ASSERT_EQ(events_.moves.size(), 4U);
  const auto& m = events_.moves;
  EXPECT_EQ(std::tie(m[0].button, m[0].shift, m[0].x, m[0].y), std::make_tuple(0, 0, 30.F, 40.F));
  EXPECT_EQ(std::tie(m[1].button, m[1].shift, m[1].x, m[1].y), std::make_tuple(1, 0, 113.F, 61.F));
  EXPECT_EQ(std::tie(m[2].button, m[2].shift), std::make_tuple(6, 3));
  EXPECT_EQ(std::tie(m[3].button, m[3].shift, m[3].x, m[3].y), std::make_tuple(0, 4, 0.F, 355.F));
}

TEST_F(MouseRouting, APressOnAButtonKeepsItsMovesFromTheWindow) {
  run_script([this] {
    QWidget* w = host_->widget();
    QTest::mousePress(w, Qt::LeftButton, {}, button_rect(Element::b_ply).center());
    send_move(w, {5, 5}, Qt::LeftButton);
    QTest::mouseRelease(w, Qt::LeftButton, {}, {5, 5});
    // A press on the window keeps its moves even over a button.
    QTest::mousePress(w, Qt::LeftButton, {}, {5, 200});
    send_move(w, button_rect(Element::b_ply).center(), Qt::LeftButton);
    QTest::mouseRelease(w, Qt::LeftButton, {}, button_rect(Element::b_ply).center());
  });
  ASSERT_EQ(events_.moves.size(), 1U);
  EXPECT_EQ(events_.moves[0].x, static_cast<float>(button_rect(Element::b_ply).center().x()));
}

TEST_F(MouseRouting, CaptionDragMovesTheWindowWithThePointerFromThePress) {
  std::vector<QPoint> positions;
  events_.on_move = [this](const RecordingEvents::Move& m) {
    if (m.button == 1) {
      host_->ReleaseCapture();
      host_->SendMessageA(host_->hWnd(), WM_NCLBUTTONDOWN, HTCAPTION, 0);
    }
  };
  events_.on_load = [this] {
    host_->set_Left(100 * tpp_);
    host_->set_Top(80 * tpp_);
  };
  run_script([&] {
    QWidget* w = host_->widget();
    positions.push_back(w->pos());
    const QPoint press = w->mapToGlobal(QPoint(50, 50));
    QTest::mousePress(w, Qt::LeftButton, {}, {50, 50});
    send_move(w, {53, 52}, Qt::LeftButton);  // the program starts the drag here
    positions.push_back(w->pos());
    // Global positions from now on: the window moves under the pointer.
    QMouseEvent drag(QEvent::MouseMove, QPointF(w->mapFromGlobal(press + QPoint(20, 10))),
                     QPointF(press + QPoint(20, 10)), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &drag);
    positions.push_back(w->pos());
    QTest::mouseRelease(w, Qt::LeftButton, {}, w->mapFromGlobal(press + QPoint(20, 10)));
    send_move(w, {90, 90}, Qt::NoButton);
    positions.push_back(w->pos());
  });
  ASSERT_EQ(positions.size(), 4U);
  EXPECT_EQ(positions[0], QPoint(100, 80));
  EXPECT_EQ(positions[1], QPoint(100, 80));
  EXPECT_EQ(positions[2], QPoint(120, 90));
  EXPECT_EQ(positions[3], QPoint(120, 90));
  // One move started the drag; the drag's moves are not the program's; the
  // move after the release is.
  ASSERT_EQ(events_.moves.size(), 2U);
  EXPECT_EQ(events_.moves[1].button, 0);
}

TEST_F(MouseRouting, TheHostNeverMovesTheWindowByItself) {
  run_script([this] {
    QWidget* w = host_->widget();
    const QPoint before = w->pos();
    // Without a left button held a caption drag does not start.
    host_->SendMessageA(host_->hWnd(), WM_NCLBUTTONDOWN, HTCAPTION, 0);
    QTest::mousePress(w, Qt::RightButton, {}, {50, 50});
    send_move(w, {90, 70}, Qt::RightButton);
    QTest::mouseRelease(w, Qt::RightButton, {}, {90, 70});
    QTest::mousePress(w, Qt::LeftButton, {}, {50, 50});
    host_->SendMessageA(host_->hWnd() + 1, WM_NCLBUTTONDOWN, HTCAPTION, 0);
    host_->SendMessageA(host_->hWnd(), WM_NCLBUTTONDOWN, 1, 0);
    send_move(w, {90, 70}, Qt::LeftButton);
    QTest::mouseRelease(w, Qt::LeftButton, {}, {90, 70});
    EXPECT_EQ(w->pos(), before);
  });
}

TEST_F(MouseRouting, PressesOutsideTheWindowShapeAreIgnored) {
  run_script([this] {
    const Handle disc = host_->CreateEllipticRgn(0, 0, 226, 226);
    EXPECT_EQ(host_->SetWindowRgn(host_->hWnd(), disc, true), 1);
    QWidget* w = host_->widget();
    QTest::mousePress(w, Qt::LeftButton, {}, {2, 2});
    send_move(w, {3, 3}, Qt::LeftButton);
    QTest::mouseRelease(w, Qt::LeftButton, {}, {3, 3});
    QTest::mousePress(w, Qt::LeftButton, {}, {112, 5});
    send_move(w, {113, 6}, Qt::LeftButton);
    QTest::mouseRelease(w, Qt::LeftButton, {}, {113, 6});
  });
  ASSERT_EQ(events_.moves.size(), 1U);
  EXPECT_EQ(events_.moves[0].x, 113.F);
}

TEST_F(MouseRouting, ToolTipOnlyOverAnImageThatHasOne) {
  run_script([this] {
    QWidget* w = host_->widget();
    const QPoint over = button_rect(Element::b_ply).center();
    QHelpEvent on_play(QEvent::ToolTip, over, w->mapToGlobal(over));
    QApplication::sendEvent(w, &on_play);
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), QString::fromUtf8("再生"));

    const QPoint elsewhere = button_rect(Element::b_stp).center();
    QHelpEvent on_stop(QEvent::ToolTip, elsewhere, w->mapToGlobal(elsewhere));
    QApplication::sendEvent(w, &on_stop);
    EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 2000));
  });
}

// A file manager's drop: the first local file goes to the program; a drop of
// remote addresses or plain text is refused before it is let go.
TEST_F(MouseRouting, ADroppedLocalFileIsPlayedAndOtherDropsAreRefused) {
  std::vector<bool> entered;
  std::vector<bool> dropped;
  run_script([&] {
    QWidget* w = host_->widget();
    const QPointF at(100, 250);
    auto drop = [&](const QMimeData& data) {
      QDragEnterEvent enter(at.toPoint(), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                            Qt::NoModifier);
      QApplication::sendEvent(w, &enter);
      entered.push_back(enter.isAccepted());
      QDropEvent let_go(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::NoButton, Qt::NoModifier);
      QApplication::sendEvent(w, &let_go);
      dropped.push_back(let_go.isAccepted());
    };
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile("/music/ジュークボックス/a b.wav"),
                   QUrl::fromLocalFile("/music/second.wav")});
    drop(files);
    QMimeData remote;
    remote.setUrls({QUrl("https://example.org/a.wav"), QUrl::fromLocalFile("/music/c.wav")});
    drop(remote);
    QMimeData text;
    text.setText("/music/d.wav");
    drop(text);
  });
  EXPECT_EQ(entered, (std::vector<bool>{true, false, false}));
  EXPECT_EQ(dropped, (std::vector<bool>{true, false, false}));
  std::vector<std::string> played;
  for (const std::string& call : events_.calls)
    if (call.starts_with("play_file")) played.push_back(call);
  EXPECT_EQ(played, (std::vector<std::string>{"play_file /music/ジュークボックス/a b.wav"}));
}

}  // namespace
}  // namespace wavorin::test
