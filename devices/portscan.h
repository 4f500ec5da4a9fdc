#pragma once
// Finding a serial printer: every COM entry that has a device, at every rate
// of the baud-rate list, asked for its status (DLE EOT 1) and judged by the
// bits that every printer of the family sets in that answer. Nothing but the
// status request is ever sent.
#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

class Sender;
class QObject;

// Bits 1 and 4 set, bits 0 and 7 clear: a status byte, not line noise.
inline bool looksLikeStatus(std::uint8_t b) { return (b & 0x93) == 0x12; }
// Bit 3: the printer is offline.
inline bool statusOnline(std::uint8_t b) { return (b & 0x08) == 0; }

// How long a printer has to answer one request (they answer within a few ms).
constexpr int kScanAnswerWaitMs = 80;

struct ScanResult {
    struct Hit {
        QString port; // "COM3"
        QString baud; // "19200"
        std::uint8_t status = 0;
    };
    std::vector<Hit> hits;   // where a printer answered well
    QStringList skipped;     // ports that could not be opened, with why
    QStringList silent;      // ports opened where no printer answered at any rate
    bool cancelled = false;
    int probes = 0;          // port and rate pairs asked
};

// Runs the scan through the program's transfer layer, with its progress
// dialog and Cancel.
ScanResult scanForPrinters(Sender &sender, QObject *parent);

// The result as lines for the operator.
QString scanReport(const ScanResult &result);
