#include "settings/error.h"

namespace common {

Error::Error(const QString &message)
    : std::runtime_error(message.toStdString())
    , m_message(message) {}

} // namespace common
