#pragma once

#include <QByteArray>
#include <cstdint>

namespace ggserwer {

// The hash a client proves its password with: the seed from the welcome packet
// stirred with every password byte. An empty password leaves the seed as it is.
std::uint32_t loginHash(std::uint32_t seed, const QByteArray& password);

}  // namespace ggserwer
