#include "base/error.h"

namespace common {

Error::Error(const QString &message, int item)
    : std::runtime_error(message.toStdString())
    , m_message(message)
    , m_item(item) {}

} // namespace common
