#include "device/com_port_types.h"

#include <array>

namespace {

constexpr std::array<int, BaudRateCount> BaudRates = {
    0,     110,   300,   600,   1200,  2400,   4800,   9600,
    14400, 19200, 38400, 56000, 57600, 115200, 128000, 256000,
};

// The driver's event bits in the order of TComEvent.
constexpr std::array<std::uint32_t, 10> EventMaskBits = {
    0x0001,  // EV_RXCHAR
    0x0004,  // EV_TXEMPTY
    0x0002,  // EV_RXFLAG
    0x0100,  // EV_RING
    0x0040,  // EV_BREAK
    0x0008,  // EV_CTS
    0x0010,  // EV_DSR
    0x0080,  // EV_ERR
    0x0020,  // EV_RLSD
    0x0400,  // EV_RX80FULL
};

}  // namespace

int BaudRateValue(TBaudRate rate, int custom)
{
  const auto index = static_cast<std::size_t>(rate);
  if (rate == brCustom || index >= BaudRates.size())
    return custom;
  return BaudRates[index];
}

TFlowControl TComFlowControl::FlowControl() const
{
  if (ControlRTS == rtsHandshake && OutCTSFlow && !XonXoffIn && !XonXoffOut)
    return fcHardware;
  if (ControlRTS == rtsDisable && !OutCTSFlow && XonXoffIn && XonXoffOut)
    return fcSoftware;
  if (ControlRTS == rtsDisable && !OutCTSFlow && !XonXoffIn && !XonXoffOut)
    return fcNone;
  return fcCustom;
}

void TComFlowControl::setFlowControl(TFlowControl kind)
{
  if (kind == fcCustom)
    return;
  ControlRTS = kind == fcHardware ? rtsHandshake : rtsDisable;
  OutCTSFlow = kind == fcHardware;
  XonXoffIn = kind == fcSoftware;
  XonXoffOut = kind == fcSoftware;
}

long long TComTimeouts::writeLimitMs(long long bytes) const
{
  return static_cast<long long>(WriteTotalConstant) +
         static_cast<long long>(WriteTotalMultiplier) * bytes;
}

int EvenBufferSize(int size)
{
  return size > 0 && size % 2 != 0 ? size - 1 : size;
}

std::uint32_t EventsToMask(TComEvents events)
{
  std::uint32_t mask = 0;
  for (std::size_t i = 0; i < EventMaskBits.size(); ++i)
    if (events.has(static_cast<TComEvent>(i)))
      mask |= EventMaskBits[i];
  return mask;
}

TComEvents MaskToEvents(std::uint32_t mask)
{
  TComEvents events;
  for (std::size_t i = 0; i < EventMaskBits.size(); ++i)
    if ((mask & EventMaskBits[i]) != 0)
      events.add(static_cast<TComEvent>(i));
  return events;
}
