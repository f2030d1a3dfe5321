#pragma once

#include "platform/FilePanels.h"

#include <QList>
#include <QQueue>
#include <gtest/gtest.h>

namespace tamo::testing {

// Answers the save and open panels from a script (nothing = cancel) and
// remembers what each was asked.
class FakeFilePanels final : public FilePanels
{
public:
    void answer(std::optional<QString> path) { m_answers.enqueue(std::move(path)); }

    std::optional<QString> chooseSaveFile(const FileType &type, const QString &proposedName) override
    {
        proposedNames.append(proposedName);
        return next(type);
    }
    std::optional<QString> chooseOpenFile(const FileType &type) override { return next(type); }

    QStringList proposedNames;
    QList<FileType> types;

private:
    std::optional<QString> next(const FileType &type)
    {
        types.append(type);
        if (m_answers.isEmpty()) {
            ADD_FAILURE() << "unexpected file panel";
            return std::nullopt;
        }
        return m_answers.dequeue();
    }

    QQueue<std::optional<QString>> m_answers;
};

} // namespace tamo::testing
