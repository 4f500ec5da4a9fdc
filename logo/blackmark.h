#pragma once
// Black-mark offsets: millimetres to motion units and the GS ( F commands.
#include "core/bytestring.h"

#include <QString>

#include <cstdint>

constexpr double kMotionUnitMm = 0.1764;
constexpr double kMaxBackwardMm = 100.0;
// nL nH carry at most this many motion units.
constexpr std::int64_t kMaxMotionUnits = 65535;

enum class MarkTarget { PrintStart = 1, Cut = 2 };
enum class MarkDirection { Forward = 0, Backward = 1 };

// d / 0.1764 rounded to the nearest integer, a half to the even neighbour.
std::int64_t motionUnits(double millimetres);
ByteString buildMarkOffset(MarkTarget target, MarkDirection direction, int units);
// The two demonstrations; the printed texts come in GB2312.
ByteString buildFeedToPrintStart(const ByteString &line1, const ByteString &line2);
ByteString buildFeedToCut(const ByteString &line1, const ByteString &line2);

// Why an offset of `mm` in that direction cannot be sent; empty when it can.
QString markOffsetRefusal(double mm, MarkDirection direction);
// The demonstration of a target with its printed lines.
ByteString buildFeedDemo(MarkTarget target);
