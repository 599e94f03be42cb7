#pragma once

#include <QtGlobal>

// The TCP port of the network UPS protocol, where a server listens and a client looks unless
// told otherwise.
constexpr quint16 nutDefaultPort = 3493;
