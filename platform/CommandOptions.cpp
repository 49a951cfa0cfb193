#include "platform/CommandOptions.h"

namespace fundora::platform {

bool CommandOptions::next()
{
    while (++m_at < m_arguments.size()) {
        m_option = m_arguments[m_at];
        if (m_option == u"--dir" || m_option == u"--server") {
            if (!value()) {
                m_problem = m_option == u"--dir" ? QStringLiteral("--dir needs a directory.")
                                                 : QStringLiteral("--server needs the server's connection URI.");
                return false;
            }
        } else if (!m_option.startsWith(QStringLiteral("--dir=")) && !m_option.startsWith(QStringLiteral("--server="))) {
            return true;
        }
    }
    return false;
}

std::optional<QString> CommandOptions::value()
{
    if (m_at + 1 >= m_arguments.size())
        return std::nullopt;
    return m_arguments[++m_at];
}

} // namespace fundora::platform
