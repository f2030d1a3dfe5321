#pragma once

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace tamo::testing {

// A scratch folder that lives as long as the test.
class TempDir
{
public:
    TempDir() { EXPECT_TRUE(m_dir.isValid()); }
    QString path() const { return m_dir.path(); }
    QString file(const QString &name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};

} // namespace tamo::testing
