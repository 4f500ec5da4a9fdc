#pragma once
// A network printer on 127.0.0.1: accepts connections and records what each
// one carried. It can also refuse to read, or reset a connection partway.
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class TcpPrinter {
public:
    enum class Mode { Normal, NeverRead, ResetAfter, Paced };
    // ResetAfter: `amount` is the bytes after which it resets. Paced: it
    // reads at most `amount` bytes every `intervalMs`, as a slow printer does.
    explicit TcpPrinter(Mode mode = Mode::Normal, std::size_t amount = 0, int intervalMs = 0);
    ~TcpPrinter();

    int port() const { return m_port; }
    std::string address() const { return "127.0.0.1:" + std::to_string(m_port); }

    // What each connection carried, in the order they were accepted, up to
    // the first one that is still open.
    std::vector<std::string> connections() const;
    int accepted() const { return m_accepted; }
    // Bytes read so far over every connection, open ones included.
    std::size_t receivedTotal() const { return m_total; }
    bool waitForConnections(std::size_t n, int timeoutMs = 5000) const;

    // A free loopback port with nobody listening on it.
    static int unusedPort();

private:
    void run();

    Mode m_mode;
    std::size_t m_amount;
    int m_intervalMs;
    std::atomic<std::size_t> m_total{0};
    int m_listen = -1;
    int m_port = 0;
    int m_wake[2] = {-1, -1};
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_accepted{0};
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_cv;
    std::vector<std::string> m_connections;
    std::vector<bool> m_finished;
    std::thread m_thread;
};
