#pragma once
// A small printer on the master side of a pseudo-terminal pair: it records
// every byte, can answer status requests, and can hold the line with XOFF.
// The program opens the slave side as if it were a serial port.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

class PtyPrinter {
public:
    PtyPrinter();
    ~PtyPrinter();

    const std::string &slavePath() const { return m_slavePath; }
    // A descriptor on the slave that the printer keeps open: the line stays
    // up between the program's opens, and tests read its termios through it.
    int slaveFd() const { return m_slaveFd; }

    std::string received() const;
    void clearReceived();
    // Waits until at least n bytes arrived; false on time-out.
    bool waitFor(std::size_t n, int timeoutMs = 5000) const;
    // Waits until no byte has come for `quietMs`: what was on its way has
    // arrived, and a check that nothing more comes can follow. False when
    // bytes keep coming past `timeoutMs`.
    bool waitQuiet(int quietMs = 50, int timeoutMs = 5000) const;

    // Called with everything received so far; returns bytes to send back.
    void setResponder(std::function<std::string(const std::string &chunk)> responder);
    // Read no faster than `bytesPerSecond` (0: as fast as bytes come), as a
    // printer behind a real line at that rate would.
    void setPace(int bytesPerSecond);
    // Stop reading, so that the line fills up.
    void setReading(bool reading);
    // Bytes from the printer to the program.
    void send(const std::string &bytes);
    // Holds the line; returns once the program's side has stopped sending.
    void sendXoff();
    static constexpr int kXoffSettleMs = 50;
    void sendXon();
    // Closes the master: the line hangs up.
    void hangUp();

private:
    void run();

    std::atomic<int> m_master{-1};
    int m_slaveFd = -1;
    std::string m_slavePath;
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_cv;
    std::string m_received;
    std::function<std::string(const std::string &)> m_responder;
    std::atomic<bool> m_reading{true};
    std::atomic<int> m_pace{0};
    std::atomic<std::size_t> m_paceRead{0};
    std::chrono::steady_clock::time_point m_paceStart;
    std::atomic<bool> m_stop{false};
    int m_wake[2] = {-1, -1};
    std::thread m_thread;
};
