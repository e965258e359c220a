#pragma once
// Rolls back unless committed, so any way out of an import step leaves the
// database as it was. Nests inside an outer transaction.

#include "Database.h"

class ImportTransaction {
public:
    explicit ImportTransaction(dao::Database* db) : m_db(db) { m_db->beginTrans(); }
    ~ImportTransaction()
    {
        if (!m_done) {
            try {
                m_db->rollback();
            } catch (...) {
            }
        }
    }
    ImportTransaction(const ImportTransaction&) = delete;
    ImportTransaction& operator=(const ImportTransaction&) = delete;
    void commit()
    {
        m_db->commitTrans();
        m_done = true;
    }

private:
    dao::Database* m_db;
    bool m_done = false;
};
