#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <future>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/control_ids.h"
#include "app/log.h"
#include "app/port_opener.h"
#include "app/text_format.h"
#include "chip/iso14443a.h"
#include "chip/korvex_reader.h"
#include "chip/operation_control.h"
#include "chip/register_control.h"
#include "sim/simulated_port.h"
#include "support/app_wiring.h"
#include "support/fake_view.h"
#include "support/scripted_port.h"

namespace kvt::app::test {

using kvt::test::ReadFile;
using kvt::test::TempFolder;

using chip::Status;

// Stands in for the whole component stack: records every call in order and counts the calls
// made while the chip lock of `app` was free (checked from another thread).
class RecordingStack final : public chip::IRegisterControl,
                             public chip::IIso14443A,
                             public chip::IKorvexReader,
                             public chip::IOperationControl {
 public:
  explicit RecordingStack(AppState& app) : app_(app) {}
  Status SetRegister(chip::RegisterParams* p) override {
    return record(Format("SetRegister %02X %02X", p->address, p->value));
  }
  Status GetRegister(chip::RegisterParams* p) override {
    p->value = 0xF7;
    record(Format("GetRegister %02X", p->address));
    return chip::status::SerialInterface;  // statuses are not examined
  }
  Status ModifyRegister(chip::ModifyRegisterParams*) override { return record("Modify"); }
  Status SetRegisterMultiple(chip::RegisterMultipleParams*) override { return record("SetMulti"); }
  Status GetRegisterMultiple(chip::RegisterMultipleParams*) override { return record("GetMulti"); }
  Status SetWaitEventCallback(chip::WaitCallbackParams<chip::Iso14443ARecord>*) override {
    return record("SetWaitEventCallback");
  }
  Status RequestA(chip::RequestParams* p) override {
    atqa = p->atqa;
    return record(Format("RequestA %02X", p->requestCode));
  }
  Status AnticollisionSelect(chip::AnticollisionParams* p) override {
    return record(Format("AnticollisionSelect %02X %u", p->selectCode, p->knownBits) + at(p));
  }
  Status Select(chip::AnticollisionParams* p) override {
    return record(Format("Select %02X %u", p->selectCode, p->knownBits) + at(p));
  }
  Status HaltA(chip::HaltParams*) override { return record("HaltA"); }
  Status Exchange(chip::KorvexCommandParams*) override { return record("Exchange"); }
  Status TwoPhaseExchange(chip::KorvexCommandParams*) override { return record("TwoPhase"); }
  Status KorvexCommand(chip::KorvexCommandParams* p) override {
    return record(Format("KorvexCommand %02X %02X %u", p->command, p->address, p->dataLength));
  }
  Status SetWaitEventCallback(chip::WaitCallbackParams<chip::OperationControlRecord>*) override {
    return record("SetWaitEventCallback");
  }
  Status SetAttribute(chip::AttributeParams* p) override {
    std::string call =
        Format("SetAttribute %02X %02X %02X %02X ", p->group, p->attribute, p->value1, p->value2);
    for (int i = 0; i < p->value2; ++i) call += Format("%02X", p->attributeBuffer[i]);
    return record(call);
  }
  Status GetAttribute(chip::AttributeParams*) override { return record("GetAttribute"); }

  std::vector<std::string> calls;
  int callsWithoutLock = 0;

 private:
  // Where the serial number lies: " +N" bytes behind the last request's ATQA.
  std::string at(const chip::AnticollisionParams* p) const {
    const auto offset = reinterpret_cast<uintptr_t>(p->serial) - reinterpret_cast<uintptr_t>(atqa);
    return Format(" +%ld", static_cast<long>(offset));
  }
  Status record(std::string call) {
    calls.push_back(std::move(call));
    const bool free = std::async(std::launch::async, [this] {
                        if (!app_.chipLock.try_lock()) return false;
                        app_.chipLock.unlock();
                        return true;
                      }).get();
    if (free) ++callsWithoutLock;
    return chip::status::Timeout;
  }
  AppState& app_;
  uint8_t* atqa = nullptr;
};

// A port opener whose ports the test decides: a name without a factory fails with the given
// (or a "no such file") error code.
class FakePortOpener final : public PortOpener {
 public:
  using Factory = std::function<std::unique_ptr<platform::SerialPort>()>;

  Opened open(const std::string& portName) override {
    opened.push_back(portName);
    Opened result;
    auto it = factories.find(portName);
    if (it == factories.end()) {
      result.errorCode = errorFor(portName);
    } else {
      result.port = it->second();
    }
    return result;
  }
  int verify(const std::string& portName) override {
    verified.push_back(portName);
    return factories.count(portName) ? 0 : errorFor(portName);
  }
  std::string describe(const std::string& portName) override {
    auto it = descriptions.find(portName);
    return it == descriptions.end() ? std::string() : it->second;
  }

  std::map<std::string, Factory> factories;
  std::map<std::string, int> errors;
  std::map<std::string, std::string> descriptions;
  std::vector<std::string> opened;
  std::vector<std::string> verified;

 private:
  int errorFor(const std::string& portName) const {
    auto it = errors.find(portName);
    return it == errors.end() ? 2 : it->second;
  }
};

// The application core wired as the program wires it, with a fake port opener. No port is
// open at the start.
class AppFixture : public ::testing::Test, public kvt::test::AppWiring {
 protected:
  AppFixture() { app.portOpener = &opener; }

  // Port `name` leads to the simulated chip.
  void connectSimulatedChip(const std::string& name = "COM1:") {
    opener.factories[name] = [this] { return std::make_unique<sim::SimulatedPort>(chip); };
  }
  // Port `name` leads to a scripted far end that the test controls through `scripted`.
  void connectScriptedPort(const std::string& name = "COM1:") {
    opener.factories[name] = [this] {
      auto port = std::make_unique<kvt::test::ScriptedPort>();
      scripted = port.get();
      return port;
    };
  }
  sim::SimulatedPort* simulatedPort() const { return dynamic_cast<sim::SimulatedPort*>(app.port); }

  FakePortOpener opener;
  kvt::test::ScriptedPort* scripted = nullptr;
};

}  // namespace kvt::app::test
