#pragma once

#include <cstdint>

#include "chip/status.h"
#include "platform/clock.h"

// The component model shared by every layer of the chip stack.
//
// Each component is a plain record of operation pointers (its ComponentRecord) plus member
// data, and a class that wraps the record behind a virtual interface. Every operation takes
// one parameter record whose last field, `component`, points at the record it runs on; the
// operation finds its members and its lower layer only through that pointer.
//
// A layer reaches its lower layer through a LowerAdapter: a record shaped like the lower
// component's whose operations forward to the virtual interface of the lower *object*, so any
// layer can be replaced by another implementation of its interface.
namespace kvt::chip {

// What an adapter's `callingObject` points at: the upper wrapper object, seen as the holder of
// its lower interface pointer.
template <class LowerInterface>
struct UpperLink {
  LowerInterface* lowerObject = nullptr;
};

// Runs `operation` on `record` the way every wrapper's virtual operation does: the parameter
// record's `component` points at the embedded record for the call and is restored afterwards,
// also when the operation fails.
template <class Params, class Record>
Status callOnRecord(Record& record, Status (*operation)(Params*), Params* params) {
  auto* const saved = params->component;
  params->component = &record;
  const Status result = operation(params);
  params->component = saved;
  return result;
}

// The call every wrapper makes: it first tells its embedded lower adapter which object is
// calling through it, so the adapter can reach that object's `lowerObject`.
template <class LowerInterface, class Record, class AdapterRecord, class Params>
Status callThroughAdapter(UpperLink<LowerInterface>* caller, Record& record, AdapterRecord& adapter,
                          Status (*operation)(Params*), Params* params) {
  adapter.callingObject = caller;
  return callOnRecord(record, operation, params);
}

// Adapter operation: `params->component` is the adapter record; its `callingObject` is the
// upper wrapper, whose `lowerObject` receives virtual slot `Slot`.
template <class LowerInterface, class Params, Status (LowerInterface::*Slot)(Params*)>
Status forwardToLower(Params* params) {
  auto* link = static_cast<UpperLink<LowerInterface>*>(params->component->callingObject);
  return (link->lowerObject->*Slot)(params);
}

// Stores the wait callback of components that run chip commands. The callback and its
// context are handed unchanged to every command the component runs; null means polling.
struct WaitEventInfo;  // defined with the command engine
using WaitCallback = Status (*)(const WaitEventInfo* info);

template <class Record>
struct WaitCallbackParams {
  WaitCallback callback;
  uint32_t context;
  Record* component;
};

template <class Record>
Status StoreWaitCallback(WaitCallbackParams<Record>* params) {
  params->component->waitCallback = params->callback;
  params->component->waitContext = params->context;
  return status::Success;
}

// The record fields shared by every component that runs chip commands: members, no caller,
// no wait callback (polling), the system clock, and the lower RegisterControl-shaped record.
template <class Record, class Members, class LowerRecord>
void InitCommandRecord(Record* record, Members* members, LowerRecord* lower) {
  record->SetWaitEventCallback = &StoreWaitCallback<Record>;
  record->members = members;
  record->callingObject = nullptr;
  record->waitContext = 0;
  record->waitCallback = nullptr;
  record->clock = &platform::SystemClock::instance();
  record->lower = lower;
}

}  // namespace kvt::chip
