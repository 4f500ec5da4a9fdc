#pragma once
// The serial status check: requests, the bit each printer series reports,
// and the verdict on the answers.
#include "core/bytestring.h"

#include <QString>

#include <string>

struct PrinterSeries {
    ByteString request;
    int statusBit;
    std::string online;
    std::string offline;
};

constexpr int kSeriesCount = 4;
const PrinterSeries &printerSeries(int index);

constexpr int kStatusCycles = 5;
constexpr int kPauseAfterRequestMs = 30;
constexpr int kPauseAfterReadMs = 20;

enum class StatusVerdict { Online, Offline, NotFound };

// One digit group per answer byte: the byte AND the status bit, in decimal.
std::string statusString(const ByteString &reply, int statusBit);
StatusVerdict judgeStatus(const std::string &status, const PrinterSeries &series);

class QObject;
class Sender;
struct Route;

// The check refuses every connection but a serial port.
QString statusNeedsSerialPort();
// The verdict as the status window and the command line tell it.
QString verdictText(StatusVerdict verdict);
// The request and read cycles of one check on a serial route; the answers.
ByteString checkStatus(Sender &sender, QObject *parent, const Route &route, const PrinterSeries &series);
