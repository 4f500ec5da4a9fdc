#pragma once
// The few socket calls of the network printer library, one body per
// platform (netsocket_posix.cpp, netsocket_win.cpp).
#include "transport/tavonetio/address.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace netsock {

using Socket = std::intptr_t;
constexpr Socket kNoSocket = -1;

// Looks a host name up, blocking (the library calls it on a thread of its
// own): its first IPv4 address, else its first IPv6 one, with `port`.
std::optional<tavonet::Endpoint> lookupHost(const std::string &name, int port);

// Why a connection did not come about, as far as the host tells.
enum class ConnectFailure { None, Refused, NoRoute, NoAnswer, Other };

// Starts a connection without waiting for it; kNoSocket, with `why` set,
// when it cannot even start. The socket turns writable once the connect has
// ended, and connectResult() then tells how.
Socket beginConnect(const tavonet::Endpoint &to, ConnectFailure &why);
ConnectFailure connectResult(Socket s);
bool connected(Socket s);
// Sends what the socket takes now: the count, 0 when it would block, -1 when
// the connection is broken.
long sendSome(Socket s, const std::uint8_t *data, std::size_t count);
// 1 when writable, 0 on time-out, -1 when the connection is broken.
int waitWritable(Socket s, int timeoutMs);
// True when the printer has reset or closed the connection.
bool broken(Socket s);
// Bytes still waiting to go out on the wire; -1 when the host cannot tell.
long unsentBytes(Socket s);
// Bytes the printer has acknowledged on this connection; -1 when the host
// cannot tell. Still known after a reset.
long long acknowledgedBytes(Socket s);
// Reads what has arrived without waiting: the count, 0 when nothing has, -1
// when the connection has ended or broken.
long receiveSome(Socket s, std::uint8_t *data, std::size_t count);
// Reads away whatever the printer sent, so that closing answers no reset.
void drainInput(Socket s);
// Ends the connection. A graceful end (`lingerMs` > 0 bounds how long unsent
// bytes may still take) lets the queue go out; an abortive one (0) resets the
// connection, so that nothing the host still holds leaves after it.
void shutdownAndClose(Socket s, int lingerMs);

} // namespace netsock
