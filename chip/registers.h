#pragma once

#include <cstdint>

#include "chip/serial_speeds.h"

// The KV380 register map, bits and command codes as the host stack uses them. The simulated
// chip (sim/) uses the same names, so stack and model cannot drift apart.
namespace kvt::chip {

namespace reg {
constexpr uint8_t Page = 0x00;
constexpr uint8_t Command = 0x01;  // bits 3..0 command code, bits 7..4 kept
constexpr uint8_t InterruptEnable1 = 0x02;
constexpr uint8_t InterruptEnable2 = 0x03;
constexpr uint8_t InterruptRequest1 = 0x04;  // write with bit 7 clear: clear the 1-bits
constexpr uint8_t InterruptRequest2 = 0x05;
constexpr uint8_t Error = 0x06;
constexpr uint8_t Status1 = 0x07;
constexpr uint8_t Status2 = 0x08;  // bits::CryptoOn: crypto unit on
constexpr uint8_t FifoData = 0x09;
constexpr uint8_t FifoLevel = 0x0A;  // write bits::FifoFlush: flush
constexpr uint8_t Control = 0x0C;    // bits 2..0 valid bits of the last received byte
constexpr uint8_t BitFraming = 0x0D;
constexpr uint8_t Collision = 0x0E;
constexpr uint8_t CrcMode = 0x11;
constexpr uint8_t TxMode = 0x12;  // 0x80 append CRC, 0x70 speed, 0x03 framing
constexpr uint8_t RxMode = 0x13;  // 0x80 check CRC, 0x04 multiple frames
constexpr uint8_t TxControl = 0x14;
constexpr uint8_t TxAsk = 0x15;
constexpr uint8_t SignalRouting1 = 0x16;
constexpr uint8_t SignalRouting2 = 0x17;
constexpr uint8_t RxThreshold = 0x18;
constexpr uint8_t Demodulator = 0x19;
constexpr uint8_t ModeTarget = 0x1B;
constexpr uint8_t Mifare = 0x1C;  // target mode: 0x04 before automatic anticollision
constexpr uint8_t ManualRcv = 0x1D;
constexpr uint8_t SerialSpeed = 0x1F;
constexpr uint8_t CrcResultHigh = 0x21;
constexpr uint8_t CrcResultLow = 0x22;
constexpr uint8_t GsNOff = 0x23;  // driver conductance while the carrier is off
constexpr uint8_t ModWidth = 0x24;
constexpr uint8_t ModulatorSetting = 0x25;  // adjusted by the protocol attributes
constexpr uint8_t RfSelfTestSweep = 0x26;
constexpr uint8_t GsN = 0x27;  // driver conductance while the carrier is on
constexpr uint8_t CwGsP = 0x28;
constexpr uint8_t ModGsP = 0x29;
constexpr uint8_t TimerMode = 0x2A;
constexpr uint8_t TimerPrescalerLow = 0x2B;
constexpr uint8_t TimerReloadHigh = 0x2C;
constexpr uint8_t TimerReloadLow = 0x2D;
constexpr uint8_t TimerValueHigh = 0x2E;
constexpr uint8_t TimerValueLow = 0x2F;
constexpr uint8_t TestPinEnable = 0x31;
constexpr uint8_t TestBus = 0x32;
constexpr uint8_t AnalogTest = 0x35;  // bits::RfDetected: RF level detector
constexpr uint8_t Version = 0x37;
constexpr uint8_t SamInterface = 0x3C;  // bit 0x20 cleared while SIGIN/SIGOUT serve a SAM
constexpr uint8_t Count = 0x40;         // registers 0x00..0x3F
}  // namespace reg

// Bits of interrupt enable/request register 1 (and 2 where noted).
namespace irq {
constexpr uint8_t SetBits = 0x80;      // in a write to a request register: set, not clear
constexpr uint8_t RequestBits = 0x7F;  // the request bits below SetBits
constexpr uint8_t TransmitDone = 0x40;
constexpr uint8_t ReceiveDone = 0x20;
constexpr uint8_t CommandDone = 0x10;  // the chip went idle
constexpr uint8_t Error = 0x02;
constexpr uint8_t Timer = 0x01;
constexpr uint8_t Anticollision = 0x08;  // register 2
}  // namespace irq

// Bits of the error register.
namespace err {
constexpr uint8_t Protocol = 0x01;
constexpr uint8_t Parity = 0x02;
constexpr uint8_t Crc = 0x04;
constexpr uint8_t Collision = 0x08;
constexpr uint8_t FifoOverflow = 0x10;
constexpr uint8_t Rf = 0x20;
constexpr uint8_t Temperature = 0x40;
constexpr uint8_t Other = 0x80;
}  // namespace err

namespace bits {
constexpr uint8_t CryptoOn = 0x08;        // status register 2
constexpr uint8_t FifoFlush = 0x80;       // FIFO level write
constexpr uint8_t CrcOn = 0x80;           // transmit / receive mode
constexpr uint8_t MultipleFrames = 0x04;  // receive mode
constexpr uint8_t RfDetected = 0x04;      // analog test register
constexpr uint8_t SweepLevel = 0x0F;      // RF self-test sweep: the drive level nibble
constexpr uint8_t CommandField = 0x0F;    // command register; the bits above it are kept

// Control register: valid bits of the last received byte, set by the chip.
constexpr uint8_t RxLastBits = 0x07;

// Bit framing register.
constexpr uint8_t StartSend = 0x80;
constexpr uint8_t RxAlignField = 0x70;  // bit position of the first received bit
constexpr int RxAlignShift = 4;
constexpr uint8_t TxLastBits = 0x07;  // bits of the last byte to send; 0 means all 8

// Collision register.
constexpr uint8_t KeepAfterCollision = 0x80;  // the host's bit
constexpr uint8_t CollisionPosition = 0x7F;   // the chip's report of the first collision

// CRC mode register.
constexpr uint8_t CrcPreset = 0x03;
constexpr uint8_t CrcMsbFirst = 0x80;

// Transmit control register: bits 0 and 1 drive the carrier on the TX1 and TX2 pins; bit 7
// (inverted TX2 carrier) is written together with them as a whole value.
constexpr uint8_t Tx1RfOn = 0x01;
constexpr uint8_t Tx2RfOn = 0x02;
constexpr uint8_t TxDrivers = Tx1RfOn | Tx2RfOn;
constexpr uint8_t InvertTx2 = 0x80;

// Timer mode register.
constexpr uint8_t TimerAutoStart = 0x80;
constexpr uint8_t TimerGating = 0x60;
constexpr int TimerGatingShift = 5;
constexpr uint8_t TimerAutoRestart = 0x10;
constexpr uint8_t TimerPrescalerHigh = 0x0F;  // the prescaler's upper 4 bits
}  // namespace bits

// Chip command codes (low 4 bits of the command register).
namespace cmd {
constexpr uint8_t Idle = 0x00;
constexpr uint8_t Configure = 0x01;
constexpr uint8_t RandomId = 0x02;
constexpr uint8_t CalcCrc = 0x03;
constexpr uint8_t Transmit = 0x04;
constexpr uint8_t Receive = 0x08;
constexpr uint8_t Transceive = 0x0C;
constexpr uint8_t AutoAnticollision = 0x0D;
constexpr uint8_t Authenticate = 0x0E;
constexpr uint8_t SoftReset = 0x0F;
// Not a chip command: the engine's collect-until-timer transceive mode.
constexpr uint8_t TransceiveUntilTimer = 0x80;
}  // namespace cmd

}  // namespace kvt::chip
