#pragma once
// Named control bytes used by every command builder.
namespace ctl {
constexpr char NUL = 0x00;
constexpr char ESC = 0x1B;
constexpr char FS = 0x1C;
constexpr char GS = 0x1D;
constexpr char LF = 0x0A;
constexpr char FF = 0x0C;
constexpr char CR = 0x0D;
constexpr char SP = 0x20;
constexpr char CAN = 0x18;
constexpr char US = 0x1F;
} // namespace ctl
