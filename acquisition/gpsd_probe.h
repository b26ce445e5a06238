#pragma once

#include "network_address.h"

#include <QHostAddress>

#include <chrono>

namespace fixwatch {

// True when a gpsd answers at the address: it accepts a connection and greets with its
// {"class":"VERSION" banner. Nothing is sent. Takes at most `limit` in all and answers at
// once when the connection is refused, so it can run while the port list is made.
bool GpsdAnswers(const QHostAddress& host = QHostAddress(QHostAddress::LocalHost),
                 quint16 port = kGpsdDefaultPort,
                 std::chrono::milliseconds limit = std::chrono::milliseconds(200));

} // namespace fixwatch
