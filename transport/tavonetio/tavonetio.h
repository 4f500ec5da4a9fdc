#pragma once
/* TavoNetIO: the network printer library. One raw TCP connection at a time
 * to a printer's data port. The address text is "host" or "host:port"
 * (port 9100 when none is given; IPv6 hosts in brackets). */
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

/* Waits, within the send time-out, until the bytes have left, then ends the
 * connection. Returns 1 when every byte left in time. */
TAVONET_API int32_t TAVONET_CALL TavoNetClose(void);

#ifdef __cplusplus
}
#endif
