#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <fstream>

#include "cardreader/control_ids.h"
#include "cmd/progress_dialog.h"
#include "gate_clock.h"
#include "gui_session.h"
#include "testlog/control_ids.h"

namespace kvt::test {

namespace id = app::id;
namespace card = cardreader::id;

namespace {

void click(gui::DialogWindow& window, int control) {
  QWidget* widget = GuiSession::control(window, control);
  // A check box answers on its box and text only, which a wide one may not centre on.
  const QPoint where = qobject_cast<QCheckBox*>(widget) != nullptr ? QPoint(6, widget->height() / 2)
                                                                   : widget->rect().center();
  QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, where);
}

int registerDialogs() {
  int count = 0;
  for (QWidget* window : QApplication::topLevelWidgets()) {
    auto* dialog = qobject_cast<gui::DialogWindow*>(window);
    if (dialog != nullptr && dialog->dialogId() == id::RegisterDialog && dialog->isVisible()) {
      ++count;
    }
  }
  return count;
}

QString readAll(const std::string& path) {
  QFile file(QString::fromStdString(path));
  return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

}  // namespace

class DialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void registerDialogOpensOnceAndReportsToTheLog();
  void breakEndsARunAfterTheLineInProgress();
  void cardReaderActivatesReadsAndWritesTheCard();
  void testLogOptionsAreSavedToTheStartFile();
};

void DialogsTest::registerDialogOpensOnceAndReportsToTheLog() {
  GuiSession session;
  session.run([&session](gui::DialogWindow& main) {
    click(main, id::OpenButton);
    click(main, id::RegisterIo);
    click(main, id::RegisterIo);  // the one dialog exists: nothing more opens
    gui::DialogWindow* registers =
        session.shell().windowOf(session.program().state().registerDialog);
    QVERIFY(registers != nullptr && registers->isVisible());
    QCOMPARE(registerDialogs(), 1);
    auto* address = GuiSession::control<QLineEdit>(*registers, id::RegAddress);
    address->selectAll();
    QTest::keyClicks(address, "19");
    auto* value = GuiSession::control<QLineEdit>(*registers, id::RegValue);
    value->selectAll();
    QTest::keyClicks(value, "5a");
    QCOMPARE(GuiSession::control<QLineEdit>(*registers, id::RegBinary)->text(), "01011010");
    click(*registers, id::RegLogEnable);
    click(*registers, id::RegSet);
    click(*registers, id::RegGet);
    const QString log = GuiSession::pane(main);
    QVERIFY(log.contains("SR: 19 5A                      // (STKSTATUS 0000)\n"));
    QVERIFY(log.contains("GR: 19          // data == 5A  // (STKSTATUS 0000)\n"));
    click(*registers, id::RegQuit);
    QTRY_COMPARE(registerDialogs(), 0);
    click(main, id::DumpRegister);
    QVERIFY(GuiSession::pane(main).contains("Registersetting : \n"));
  });
}

void DialogsTest::breakEndsARunAfterTheLineInProgress() {
  GateClock clock;
  cmd::CommandEnvironment environment;
  environment.clock = &clock;
  GuiSession session(environment);
  const std::string script = session.folder() + "/slow.scf";
  std::ofstream(script) << "SR 01 3F\nSLP 1000\nSR 19 5A\n";
  session.shell().setFileAnswer(
      [script](bool, const platform::FileChooser&) { return std::optional<std::string>(script); });
  session.onDialog(cmd::id::ProgressDialog, [&](gui::DialogWindow& progress) {
    auto release = qScopeGuard([&clock] { clock.open(); });  // also when a check fails
    QTRY_VERIFY(clock.sleeping());                           // the runner sits in SLP
    // The register dialog stays usable during the run.
    gui::DialogWindow* registers =
        session.shell().windowOf(session.program().state().registerDialog);
    QVERIFY(registers != nullptr);
    // Through the window system, where a window blocked by a modal one gets no clicks.
    QWidget* get = GuiSession::control(*registers, id::RegGet);
    QTest::mouseClick(registers->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                      get->mapTo(registers, get->rect().center()));
    const QString result = GuiSession::control<QLineEdit>(*registers, id::RegResult)->text();
    QVERIFY2(result.startsWith("GR: 00 ") && result.endsWith("(STKSTATUS 0000)"),
             qPrintable(result));
    click(progress, cmd::id::BreakButton);
    QVERIFY(!progress.view().widget(cmd::id::BreakButton)->isEnabled());
  });
  session.run([&](gui::DialogWindow& main) {
    click(main, id::OpenButton);
    click(main, id::RegisterIo);
    click(main, id::ProcessScf);  // returns when "Processing..." has closed
    QTRY_VERIFY(GuiSession::pane(main).contains("User Break recognised."));
    const QString log = GuiSession::pane(main);
    QVERIFY(log.startsWith(QString::fromStdString("Processing " + script + "\nSR  01  3F")));
    QVERIFY(!log.contains("SR  19"));
    QVERIFY(main.isEnabled());
  });
}

void DialogsTest::cardReaderActivatesReadsAndWritesTheCard() {
  GuiSession session;
  session.onDialog(card::CardReaderDialog, [](gui::DialogWindow& reader) {
    click(reader, card::RequestAndSelect);
    QVERIFY(GuiSession::pane(reader, card::LogPane)
                .contains("Anticollision/Select(0x93, 0x08, 0xC43B9E12) --> Status: 0x0000"));
    auto* block = GuiSession::control<QComboBox>(reader, card::Block);
    for (int i = 0; i < 4; ++i) QTest::keyClick(block, Qt::Key_Down);
    QCOMPARE(block->currentIndex(), 4);
    click(reader, card::AuthenticateA);
    auto* hex = GuiSession::control<QLineEdit>(reader, card::Hex);
    hex->selectAll();
    QTest::keyClicks(hex, "00112233445566778899AABBCCDDEEFF");
    click(reader, card::Write);
    hex->selectAll();
    QTest::keyClicks(hex, "0");
    click(reader, card::Read);
    QCOMPARE(hex->text(), "00112233445566778899AABBCCDDEEFF");
    const QString log = GuiSession::pane(reader, card::LogPane);
    QVERIFY(log.contains("Authentication KeyA(0x04, 0x5A17C3E90B42) --> Status: 0x0000"));
    QVERIFY(log.contains("Read(0x04, 0x00112233445566778899AABBCCDDEEFF) --> Status: 0x0000"));
    click(reader, card::Exit);
  });
  session.run([](gui::DialogWindow& main) {
    click(main, id::OpenButton);
    click(main, id::KorvexReader);  // returns when the dialog has closed
  });
}

void DialogsTest::testLogOptionsAreSavedToTheStartFile() {
  GuiSession session;
  const std::string output = session.folder() + "/bench.atp";
  session.shell().setFileAnswer(
      [output](bool, const platform::FileChooser&) { return std::optional<std::string>(output); });
  session.onDialog(testlog::id::TestLogDialog, [](gui::DialogWindow& options) {
    click(options, testlog::id::Activate);
    QVERIFY(options.view().widget(testlog::id::SelectOutputFile)->isEnabled());
    click(options, testlog::id::SelectOutputFile);
    QCOMPARE(GuiSession::control<QLineEdit>(options, testlog::id::OutputFileName)->text(),
             "bench.atp");
    click(options, testlog::id::Ok);
  });
  session.run([](gui::DialogWindow& main) { main.view().action(id::MenuTestLog)->trigger(); });
  const QString startFile = readAll(session.startFile());
  QVERIFY(startFile.contains("[TestLog]"));
  QVERIFY(startFile.contains(QString::fromStdString("OutputFile=" + output)));
  QVERIFY(QFile::exists(QString::fromStdString(output)));
}

}  // namespace kvt::test

QTEST_MAIN(kvt::test::DialogsTest)
#include "dialogs_test.moc"
