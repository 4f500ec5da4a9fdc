#pragma once
/* TavoNetIO: the network printer library. One raw TCP connection at a time
 * to a printer's data port. The address text is "host" or "host:port"
 * (port 9100 when none is given; IPv6 hosts in brackets); the host is an
 * address or a name, which is looked up within the connect time-out. Blanks
 * around the text do not count. */
#include <stdint.h>

#if defined(_WIN32)
#define TAVONET_CALL __stdcall
#if defined(TAVONETIO_BUILD)
#define TAVONET_API __declspec(dllexport)
#else
#define TAVONET_API __declspec(dllimport)
#endif
#else
#define TAVONET_CALL
#define TAVONET_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Connects to the printer. connectTimeoutS bounds the connect, sendTimeoutS
 * every later send and the close. Returns 1 exactly when the connection
 * stands; any other value means there is none. */
TAVONET_API uint8_t TAVONET_CALL TavoNetOpen(const char *address, int32_t connectTimeoutS, int32_t sendTimeoutS);

/* Sends count bytes in order; returns the number handed to the network. */
TAVONET_API int32_t TAVONET_CALL TavoNetSend(const uint8_t *data, int32_t count);

/* Waits until the printer has acknowledged every byte, then ends the
 * connection. The send time-out counts from the last byte the printer took,
 * so a slow printer that keeps reading always succeeds. Returns 1 when every
 * byte was taken. Otherwise (a failed or cancelled send, a reset, or nothing
 * taken for the time-out) the connection is reset at once, so that nothing
 * more leaves, and TavoNetDelivered tells what the printer took. */
TAVONET_API int32_t TAVONET_CALL TavoNetClose(void);

/* Extensions for callers that watch a long transfer. */

/* Called at least every 50 ms while a call waits on the network (connect,
 * send, close), with the bytes the printer has acknowledged so far. A
 * non-zero answer ends the wait at once: the call fails, and the close that
 * follows drops the connection without waiting. NULL: no hook. */
typedef int32_t(TAVONET_CALL *TavoNetWaitHook)(void *context, int32_t delivered);
TAVONET_API void TAVONET_CALL TavoNetSetWaitHook(TavoNetWaitHook hook, void *context);

/* Bytes of the current or last connection that the printer acknowledged.
 * Where the host cannot tell acknowledgements, the bytes that left this
 * host (an upper bound), and where it cannot tell that either, the bytes
 * handed to the network. */
TAVONET_API int32_t TAVONET_CALL TavoNetDelivered(void);

/* Why the last call failed. */
enum {
    TAVONET_OK = 0,
    TAVONET_E_ADDRESS = 1,   /* not an address or host name */
    TAVONET_E_CONNECT = 2,   /* no connection, for a cause the host does not name */
    TAVONET_E_RESET = 3,     /* the printer reset or closed the connection */
    TAVONET_E_TIMEOUT = 4,   /* the printer took no bytes within the send time-out */
    TAVONET_E_CANCELLED = 5, /* the wait hook ended the wait */
    TAVONET_E_NOTOPEN = 6,   /* no connection */
    TAVONET_E_PORT = 7,      /* the port after the colon is missing, no number, or not 1 to 65535 */
    TAVONET_E_NAME = 8,      /* the host name has no address, or its lookup took longer than the connect time-out */
    TAVONET_E_REFUSED = 9,   /* the host answered, but nothing listens on that port */
    TAVONET_E_NO_ANSWER = 10, /* no answer within the connect time-out */
    TAVONET_E_NO_ROUTE = 11  /* the host or its network cannot be reached from here */
};
TAVONET_API int32_t TAVONET_CALL TavoNetLastError(void);

#ifdef __cplusplus
}
#endif
