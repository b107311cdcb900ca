#pragma once
// Settings and event types of the serial port component.

#include <cstdint>
#include <initializer_list>

enum TBaudRate {
  brCustom,
  br110,
  br300,
  br600,
  br1200,
  br2400,
  br4800,
  br9600,
  br14400,
  br19200,
  br38400,
  br56000,
  br57600,
  br115200,
  br128000,
  br256000,
};
inline constexpr int BaudRateCount = br256000 + 1;

// The speed in bits per second; brCustom gives `custom`.
int BaudRateValue(TBaudRate rate, int custom);

enum TDataBits { dbFive, dbSix, dbSeven, dbEight };
enum TStopBits { sbOneStopBit, sbOne5StopBits, sbTwoStopBits };
enum TParityBits { prNone, prOdd, prEven, prMark, prSpace };
enum TDTRFlowControl { dtrDisable, dtrEnable, dtrHandshake };
enum TRTSFlowControl { rtsDisable, rtsEnable, rtsHandshake, rtsToggle };
enum TFlowControl { fcHardware, fcSoftware, fcNone, fcCustom };
enum TSyncMethod { smThreadSync, smWindowSync, smNone, smDisableEvents };

struct TComParity {
  TParityBits Bits = prNone;
  bool Check = false;
  bool Replace = false;
  char ReplaceChar = 0;
  bool operator==(const TComParity&) const = default;
};

struct TComFlowControl {
  bool OutCTSFlow = false;
  bool OutDSRFlow = false;
  TDTRFlowControl ControlDTR = dtrDisable;
  TRTSFlowControl ControlRTS = rtsDisable;
  bool XonXoffOut = false;
  bool XonXoffIn = false;
  bool DSRSensitivity = false;
  bool TxContinueOnXoff = false;
  char XonChar = 17;
  char XoffChar = 19;

  // The handshake these fields amount to; setting it writes RTS, CTS and both
  // XON/XOFF directions (fcCustom leaves them as they are).
  TFlowControl FlowControl() const;
  void setFlowControl(TFlowControl kind);
  bool operator==(const TComFlowControl&) const = default;
};

// Milliseconds; -1 means no limit between two received bytes.
struct TComTimeouts {
  int ReadInterval = -1;
  int ReadTotalMultiplier = 0;
  int ReadTotalConstant = 0;
  int WriteTotalMultiplier = 100;
  int WriteTotalConstant = 1000;
  bool operator==(const TComTimeouts&) const = default;

  // How long a write of `bytes` bytes may take before it completes short.
  long long writeLimitMs(long long bytes) const;
};

struct TComBuffer {
  int InputSize = 1024;
  int OutputSize = 1024;
  bool operator==(const TComBuffer&) const = default;
};

// An odd positive queue size is lowered by one.
int EvenBufferSize(int size);

enum TComEvent {
  evRxChar,
  evTxEmpty,
  evRxFlag,
  evRing,
  evBreak,
  evCTS,
  evDSR,
  evError,
  evRLSD,
  evRx80Full,
};

// A set of TComEvent, one bit per enumerator (bit i for the i-th event).
class TComEvents {
 public:
  constexpr TComEvents() = default;
  constexpr TComEvents(std::initializer_list<TComEvent> events)
  {
    for (TComEvent e : events)
      m_bits |= bit(e);
  }
  static constexpr TComEvents all() { return fromBits(0x3FF); }
  static constexpr TComEvents fromBits(std::uint32_t bits)
  {
    TComEvents s;
    s.m_bits = bits & 0x3FF;
    return s;
  }
  constexpr bool has(TComEvent e) const { return (m_bits & bit(e)) != 0; }
  constexpr void add(TComEvent e) { m_bits |= bit(e); }
  constexpr bool empty() const { return m_bits == 0; }
  constexpr std::uint32_t bits() const { return m_bits; }
  constexpr TComEvents operator&(TComEvents o) const { return fromBits(m_bits & o.m_bits); }
  constexpr TComEvents operator|(TComEvents o) const { return fromBits(m_bits | o.m_bits); }
  constexpr bool operator==(const TComEvents&) const = default;

 private:
  static constexpr std::uint32_t bit(TComEvent e) { return 1u << static_cast<int>(e); }
  std::uint32_t m_bits = 0;
};

// The event-mask form the line driver speaks (EV_RXCHAR 1 ... EV_RX80FULL 0x400;
// all ten events are 0x5FF) and back.
std::uint32_t EventsToMask(TComEvents events);
TComEvents MaskToEvents(std::uint32_t mask);

enum TComError { ceFrame, ceRxParity, ceOverrun, ceBreak, ceIO, ceMode, ceRxOver, ceTxFull };

class TComErrors {
 public:
  constexpr TComErrors() = default;
  constexpr TComErrors(std::initializer_list<TComError> errors)
  {
    for (TComError e : errors)
      m_bits |= 1u << static_cast<int>(e);
  }
  constexpr bool has(TComError e) const { return (m_bits & (1u << static_cast<int>(e))) != 0; }
  constexpr void add(TComError e) { m_bits |= 1u << static_cast<int>(e); }
  constexpr void remove(TComError e) { m_bits &= ~(1u << static_cast<int>(e)); }
  constexpr bool empty() const { return m_bits == 0; }
  constexpr bool operator==(const TComErrors&) const = default;

 private:
  std::uint32_t m_bits = 0;
};

// The states of the modem input lines.
struct ComModemLines {
  bool CTS = false;
  bool DSR = false;
  bool Ring = false;
  bool RLSD = false;
};
