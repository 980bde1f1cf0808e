#include "chip/register_tables.h"

#include "chip/registers.h"

namespace kvt::chip {

namespace {
// Each table: (register, AND mask, OR value) steps, ended by kTableEnd.
constexpr RegisterSetting kA0[] = {
    {reg::Demodulator, 0x00, 0x61},
    {reg::TxAsk, 0xFF, 0x40},
    {reg::RfSelfTestSweep, 0x00, 0x59},
    {reg::RxThreshold, 0x00, 0x55},
    {reg::ModWidth, 0x00, 0x26},
    {reg::ModulatorSetting, 0x80, 0x0F},
    {reg::GsNOff, 0x00, 0x6F},
    {reg::GsN, 0x00, 0xF4},
    {reg::CwGsP, 0x00, 0x3F},
    {reg::ModGsP, 0x00, 0x11},
    {kTableEnd, 0, 0},
};
constexpr RegisterSetting kA1[] = {
    {reg::Demodulator, 0x00, 0x61},
    {reg::TxAsk, 0xBF, 0x00},
    {reg::RfSelfTestSweep, 0x00, 0x69},
    {reg::RxThreshold, 0x00, 0x55},
    {reg::ModWidth, 0x00, 0x26},
    {reg::ModulatorSetting, 0x80, 0x0F},
    {reg::GsNOff, 0x00, 0x6F},
    {reg::GsN, 0x00, 0xFF},
    {reg::CwGsP, 0x00, 0x3F},
    {reg::ModGsP, 0x00, 0x11},
    {kTableEnd, 0, 0},
};
constexpr RegisterSetting kA2[] = {
    {reg::Demodulator, 0x00, 0x4D}, {reg::RfSelfTestSweep, 0x00, 0x59},
    {reg::TxAsk, 0xFF, 0x40},       {reg::RxThreshold, 0x00, 0x55},
    {reg::ModWidth, 0x00, 0x26},    {reg::ModulatorSetting, 0x80, 0x0F},
    {reg::GsN, 0x00, 0xF4},         {reg::CwGsP, 0x00, 0x3F},
    {reg::ModGsP, 0x00, 0x11},      {kTableEnd, 0, 0},
};
constexpr RegisterSetting kA3[] = {
    {reg::Demodulator, 0x00, 0x41},
    {reg::TxAsk, 0xBF, 0x00},
    {reg::RfSelfTestSweep, 0x00, 0x69},
    {reg::RxThreshold, 0x00, 0x55},
    {reg::ModWidth, 0x00, 0x26},
    {reg::ModulatorSetting, 0x80, 0x0F},
    {reg::GsN, 0x00, 0xFF},
    {reg::CwGsP, 0x00, 0x3F},
    {reg::ModGsP, 0x00, 0x11},
    {kTableEnd, 0, 0},
};
constexpr RegisterSetting kA4[] = {
    {reg::Mifare, 0x00, 0x6A},
    {reg::TxAsk, 0xBF, 0x00},
    {reg::ModulatorSetting, 0x80, 0x07},
    {reg::RxThreshold, 0x00, 0x55},
    {reg::ModWidth, 0x00, 0x26},
    {reg::Demodulator, 0x00, 0x61},
    {reg::GsNOff, 0x00, 0x6F},
    {reg::RfSelfTestSweep, 0x00, 0x59},
    {reg::GsN, 0x00, 0xF4},
    {reg::CwGsP, 0x00, 0x3F},
    {reg::ModGsP, 0x00, 0x11},
    {kTableEnd, 0, 0},
};
constexpr RegisterSetting kB0[] = {
    {reg::Demodulator, 0x00, 0x2C},
    {reg::ModWidth, 0x00, 0x26},
    {reg::TxAsk, 0xFF, 0x40},
    {reg::ModulatorSetting, 0x80, 0x0F},
    {reg::SignalRouting2, 0x00, 0x84},
    {reg::RxThreshold, 0x00, 0x44},
    {reg::RfSelfTestSweep, 0x00, 0x59},
    {reg::GsN, 0x00, 0xF4},
    {reg::GsNOff, 0x00, 0xF4},
    {reg::Mifare, 0x00, 0x62},
    {kTableEnd, 0, 0},
};
constexpr RegisterSetting kB1[] = {
    {reg::Demodulator, 0x00, 0x2C},
    {reg::ModWidth, 0x00, 0x26},
    {reg::TxAsk, 0xBF, 0x00},
    {reg::ModulatorSetting, 0x80, 0x0F},
    {reg::SignalRouting2, 0x00, 0x84},
    {reg::RxThreshold, 0x00, 0x33},
    {reg::RfSelfTestSweep, 0x00, 0x69},
    {reg::GsN, 0x00, 0xFF},
    {reg::GsNOff, 0x00, 0xFF},
    {reg::CwGsP, 0x00, 0x3F},
    {reg::ModGsP, 0x00, 0x0F},
    {reg::Mifare, 0x00, 0x62},
    {kTableEnd, 0, 0},
};
constexpr RegisterSetting kB2[] = {
    {reg::TxAsk, 0xFF, 0x40},
    {reg::Demodulator, 0x00, 0xAD},
    {reg::ModWidth, 0x00, 0x26},
    {reg::ModulatorSetting, 0x80, 0x0F},
    {reg::SignalRouting2, 0x00, 0x84},
    {reg::RxThreshold, 0x00, 0x44},
    {reg::RfSelfTestSweep, 0x00, 0x59},
    {reg::GsN, 0x00, 0xF4},
    {reg::GsNOff, 0x00, 0xF4},
    {reg::Mifare, 0x00, 0x62},
    {kTableEnd, 0, 0},
};
constexpr RegisterSetting kB3[] = {
    {reg::Demodulator, 0x00, 0x4C},
    {reg::TxAsk, 0xBF, 0x00},
    {reg::ModWidth, 0x00, 0x26},
    {reg::ModulatorSetting, 0x80, 0x0F},
    {reg::SignalRouting2, 0x00, 0x84},
    {reg::RxThreshold, 0x00, 0x33},
    {reg::RfSelfTestSweep, 0x00, 0x69},
    {reg::GsN, 0x00, 0xFF},
    {reg::GsNOff, 0x00, 0xFF},
    {reg::CwGsP, 0x00, 0x3F},
    {reg::ModGsP, 0x00, 0x0F},
    {reg::Mifare, 0x00, 0x62},
    {kTableEnd, 0, 0},
};
constexpr RegisterSetting kB4[] = {
    {reg::Mifare, 0x00, 0x6A},
    {reg::TxAsk, 0xBF, 0x00},
    {reg::ModulatorSetting, 0x80, 0x09},
    {reg::ModWidth, 0x00, 0x26},
    {reg::SignalRouting2, 0x00, 0x84},
    {reg::RxThreshold, 0x00, 0x44},
    {reg::Demodulator, 0x00, 0x2C},
    {reg::RfSelfTestSweep, 0x00, 0x59},
    {reg::GsN, 0x00, 0x6F},
    {reg::GsNOff, 0x00, 0x6F},
    {reg::CwGsP, 0x00, 0x20},
    {reg::ModGsP, 0x00, 0x20},
    {kTableEnd, 0, 0},
};
constexpr RegisterSetting kC0[] = {
    {reg::Demodulator, 0x00, 0x61},
    {reg::TxAsk, 0xFF, 0x40},
    {reg::RfSelfTestSweep, 0x00, 0x59},
    {reg::RxThreshold, 0x00, 0x55},
    {reg::ModWidth, 0x00, 0x26},
    {reg::ModulatorSetting, 0x80, 0x0F},
    {reg::GsN, 0x00, 0xF4},
    {reg::GsNOff, 0x00, 0xF4},
    {kTableEnd, 0, 0},
};
constexpr RegisterSetting kC1[] = {
    {reg::Demodulator, 0x00, 0x61},
    {reg::TxAsk, 0xBF, 0x00},
    {reg::RfSelfTestSweep, 0x00, 0x69},
    {reg::RxThreshold, 0x00, 0x55},
    {reg::ModWidth, 0x00, 0x26},
    {reg::ModulatorSetting, 0x80, 0x0F},
    {reg::GsN, 0x00, 0xFF},
    {reg::GsNOff, 0x00, 0xFF},
    {reg::CwGsP, 0x00, 0x3F},
    {reg::ModGsP, 0x00, 0x11},
    {kTableEnd, 0, 0},
};
constexpr RegisterSetting kC2[] = {
    {reg::Demodulator, 0x00, 0x4D},
    {reg::RfSelfTestSweep, 0x00, 0x59},
    {reg::TxAsk, 0xFF, 0x40},
    {reg::RxThreshold, 0x00, 0x55},
    {reg::ModWidth, 0x00, 0x26},
    {reg::ModulatorSetting, 0x80, 0x0F},
    {reg::GsN, 0x00, 0xF4},
    {reg::GsNOff, 0x00, 0xF4},
    {kTableEnd, 0, 0},
};
constexpr RegisterSetting kC3[] = {
    {reg::Demodulator, 0x00, 0x41},
    {reg::TxAsk, 0xBF, 0x00},
    {reg::RfSelfTestSweep, 0x00, 0x69},
    {reg::RxThreshold, 0x00, 0x55},
    {reg::ModWidth, 0x00, 0x26},
    {reg::ModulatorSetting, 0x80, 0x0F},
    {reg::GsN, 0x00, 0xFF},
    {reg::GsNOff, 0x00, 0xFF},
    {reg::CwGsP, 0x00, 0x3F},
    {reg::ModGsP, 0x00, 0x11},
    {kTableEnd, 0, 0},
};
constexpr RegisterSetting kC4[] = {
    {reg::Mifare, 0x00, 0x4A},
    {reg::TxAsk, 0xBF, 0x00},
    {reg::ModulatorSetting, 0x80, 0x07},
    {reg::RxThreshold, 0x00, 0x55},
    {reg::ModWidth, 0x00, 0x26},
    {reg::Demodulator, 0x00, 0x61},
    {reg::GsN, 0x00, 0x6F},
    {reg::GsNOff, 0x00, 0x6F},
    {reg::RfSelfTestSweep, 0x00, 0x59},
    {kTableEnd, 0, 0},
};
}  // namespace

const RegisterSet kRegisterSetA = {{kA0, kA1, kA2, kA3, kA4}};
const RegisterSet kRegisterSetB = {{kB0, kB1, kB2, kB3, kB4}};
const RegisterSet kRegisterSetC = {{kC0, kC1, kC2, kC3, kC4}};

}  // namespace kvt::chip
