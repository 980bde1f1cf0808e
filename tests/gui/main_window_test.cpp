#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QtTest>

#include "gui_session.h"

namespace kvt::test {

namespace id = app::id;

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void typedLineRunsOnTheChipAndComesBackWithUp();
  void openAndCloseSwitchEveryControlAndMenuItem();
  void keepsItsWidthAndGivesExtraHeightToTheLog();
  void logPaneFontIsFixedPitchAndDrawsGlyphs();
  void mnemonicsReachEveryControlAndSharedLettersTakeTurns();
};

void MainWindowTest::typedLineRunsOnTheChipAndComesBackWithUp() {
  GuiSession session;
  const int result = session.run([](gui::DialogWindow& main) {
    QTest::mouseClick(GuiSession::control(main, id::OpenButton), Qt::LeftButton);
    auto* line = GuiSession::control<QLineEdit>(main, id::CommandLine);
    QVERIFY(line->isEnabled());
    QTest::keyClicks(line, "sr 19 5a");
    QCOMPARE(line->text(), QStringLiteral("SR 19 5A"));  // typed letters become capitals
    QTest::keyClick(line, Qt::Key_Return);
    QVERIFY(
        GuiSession::pane(main).contains("SR  19  5A                     // (STKSTATUS 0000)\n"));
    QCOMPARE(line->text(), QString());
    QTest::keyClick(line, Qt::Key_Up);
    QCOMPARE(line->text(), QStringLiteral("SR 19 5A"));
    // Escape empties the line, keeps the window, and does not swallow the next close.
    QTest::keyClick(line, Qt::Key_Escape);
    QCOMPARE(line->text(), QString());
    QVERIFY(main.isVisible());
    QVERIFY(main.close());
  });
  QCOMPARE(result, 0);
}

void MainWindowTest::openAndCloseSwitchEveryControlAndMenuItem() {
  GuiSession session;
  session.run([](gui::DialogWindow& main) {
    const int openItems[] = {id::MenuClose,
                             id::MenuAccessRegister,
                             id::MenuProcessCommandFile,
                             id::MenuHost9600,
                             id::MenuHost115200,
                             id::CloseButton,
                             id::AllTo115k,
                             id::SelectScf,
                             id::ProcessScf,
                             id::RegisterIo,
                             id::PiButton,
                             id::DumpRegister,
                             id::KorvexReader,
                             id::Process,
                             id::OverrideName,
                             id::CommandLine};
    const int closedItems[] = {id::MenuOpen, id::MenuSettings, id::OpenButton};
    auto enabled = [&main](int control) {
      if (QAction* action = main.view().action(control)) return action->isEnabled();
      return main.view().widget(control)->isEnabled();
    };
    auto expectState = [&](bool open) {
      for (int control : openItems)
        QVERIFY2(enabled(control) == open, qPrintable(QString::number(control)));
      for (int control : closedItems)
        QVERIFY2(enabled(control) != open, qPrintable(QString::number(control)));
      QCOMPARE(GuiSession::control<QLabel>(main, id::OpenClosed)->text(),
               QString(open ? "O" : "C"));
    };
    expectState(false);
    QVERIFY(!main.view().widget(id::PiButton)->isVisibleTo(&main));  // no -pi
    QVERIFY(main.view().action(id::MenuSelectCommandFile)->isEnabled());
    QTest::mouseClick(GuiSession::control(main, id::OpenButton), Qt::LeftButton);
    expectState(true);
    main.view().action(id::MenuClose)->trigger();
    expectState(false);
  });
}

void MainWindowTest::keepsItsWidthAndGivesExtraHeightToTheLog() {
  GuiSession session;
  session.run([&session](gui::DialogWindow& main) {
    const QSize initial = main.size();
    QCOMPARE(session.program().state().initialWidth, initial.width());
    auto* log = GuiSession::control(main, id::LogPane);
    const int logHeight = log->height();
    main.resize(initial.width() + 120, initial.height());
    QCOMPARE(main.width(), initial.width());
    main.resize(initial.width(), initial.height() + 150);
    QTRY_COMPARE(log->height(), logHeight + 150);
    main.resize(initial.width(), initial.height() - 100);
    QCOMPARE(main.height(), initial.height());
  });
}

namespace {

QImage drawn(const QFont& font, QChar glyph) {
  QImage image(48, 48, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setFont(font);
  painter.setPen(Qt::black);
  painter.drawText(QRect(0, 0, 48, 48), Qt::AlignCenter, QString(glyph));
  return image;
}

int inkOf(const QImage& image) {
  int ink = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) ink += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
  }
  return ink;
}

}  // namespace

void MainWindowTest::logPaneFontIsFixedPitchAndDrawsGlyphs() {
  GuiSession session;
  session.run([](gui::DialogWindow& main) {
    const QFont font = GuiSession::control(main, id::LogPane)->font();
    QVERIFY(QFontInfo(font).fixedPitch());
    const QFontMetrics metrics(font);
    QCOMPARE(metrics.horizontalAdvance(QChar('i')), metrics.horizontalAdvance(QChar('W')));
    // Without a usable font every character comes out as the same box (or as nothing).
    const QImage w = drawn(font, 'W'), zero = drawn(font, '0'), dot = drawn(font, '.');
    QVERIFY(inkOf(w) > 0 && inkOf(zero) > 0);
    QVERIFY(w != zero && inkOf(dot) < inkOf(w));
    QVERIFY(!GuiSession::pane(main).contains("ERROR: Cannot create monospace font!"));
  });
}

namespace {

void alt(gui::DialogWindow& main, Qt::Key key) {
  QWidget* target = QApplication::activePopupWidget();
  if (target == nullptr) target = main.focusWidget();
  QTest::keyClick(target != nullptr ? target : &main, key, Qt::AltModifier);
}

}  // namespace

void MainWindowTest::mnemonicsReachEveryControlAndSharedLettersTakeTurns() {
  GuiSession session;
  const int result = session.run([](gui::DialogWindow& main) {
    alt(main, Qt::Key_O);
    QCOMPARE(GuiSession::control<QLabel>(main, id::OpenClosed)->text(), QString("O"));
    alt(main, Qt::Key_D);
    QVERIFY(GuiSession::pane(main).contains("Registersetting : "));
    // "&Log" and "Command &Line": the menu opens first, the next Alt+L moves on.
    alt(main, Qt::Key_L);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QVERIFY(menu != nullptr && menu->title() == "&Log");
    alt(main, Qt::Key_L);
    QTRY_VERIFY(QApplication::activePopupWidget() == nullptr);
    QCOMPARE(main.focusWidget(), GuiSession::control(main, id::CommandLine));
    // "&Select SCF" and "Process &SCF": each press focuses the next, none is pressed.
    alt(main, Qt::Key_S);
    QCOMPARE(main.focusWidget(), GuiSession::control(main, id::SelectScf));
    alt(main, Qt::Key_S);
    QCOMPARE(main.focusWidget(), GuiSession::control(main, id::ProcessScf));
    QCOMPARE(GuiSession::control<QLineEdit>(main, id::OperationStatus)->text(), "NULL");
    // Alt+F, then X: File > Exit.
    alt(main, Qt::Key_F);
    QVERIFY(QApplication::activePopupWidget() != nullptr);
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_X);
    QTRY_VERIFY(main.isClosed());
  });
  QCOMPARE(result, 0);
}

}  // namespace kvt::test

QTEST_MAIN(kvt::test::MainWindowTest)
#include "main_window_test.moc"
