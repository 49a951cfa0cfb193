#include "core/AccountStatements.h"

namespace fundora::core {

platform::FileError readStatements(DataFiles& files, std::int32_t sysId, std::vector<CardStatement>& out)
{
    out.clear();
    auto& stm = files.statements;
    stm.clear();
    stm.record.sysId = sysId;
    stm.setOnValue(StmSysIDDateKey);
    for (;;) {
        const platform::FileError e = stm.next();
        if (e.code == platform::ErrorCode::EndOfFile || (e.ok() && stm.record.sysId != sysId))
            return platform::FileError::success();
        if (!e.ok())
            return e;
        out.push_back(stm.record);
    }
}

std::optional<CardStatement> latestFinished(const std::vector<CardStatement>& statements)
{
    std::optional<CardStatement> latest;
    for (const CardStatement& s : statements)
        if (!s.isDraft() && (!latest || s.closingDate > latest->closingDate ||
                             (s.closingDate == latest->closingDate && s.statementId > latest->statementId)))
            latest = s;
    return latest;
}

std::optional<CardStatement> draftOf(const std::vector<CardStatement>& statements)
{
    for (const CardStatement& s : statements)
        if (s.isDraft())
            return s;
    return std::nullopt;
}

} // namespace fundora::core
