#include <QAction>
#include <QLabel>
#include <QLineEdit>
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

}  // namespace kvt::test

QTEST_MAIN(kvt::test::MainWindowTest)
#include "main_window_test.moc"
