#include "JetSql.h"

namespace dao::jet {

// Placeholder until the real translation lands: passes the text through.
Translation translate(const QString& jetSql, const Context& ctx)
{
    Q_UNUSED(ctx);
    Translation t;
    t.statements << jetSql;
    return t;
}

} // namespace dao::jet
