#pragma once

#include "secrets/SecretText.h"

#include <QStringView>
#include <QVarLengthArray>

#include <vector>

namespace tamo::secretproviders {

// The lines that head a text's lines: an INI or TOML "[section]", and the
// keys of the YAML mappings or JSON objects a line is nested in, told by
// their smaller indentation. Reads the text forward once, however many
// lines are asked about, so a scan stays linear.
class Headings
{
public:
    static constexpr qsizetype maxDepth = 16;

    // How far above a `value:` field the field naming it may stand.
    static constexpr qsizetype maxFieldNameDistance = 300;

    explicit Headings(QStringView text) : m_text(text), m_fieldNames(text, u"name", maxFieldNameDistance) {}

    // The headings of the line starting at `lineStart`, outermost first.
    // Lines are best asked about in order; asking about an earlier one
    // reads the text again from its start.
    QVarLengthArray<QStringView, maxDepth + 1> above(qsizetype lineStart);

    // Where a `name` field last stands before an offset, read on as the scan
    // goes: env lists name a `value:` in a field above it.
    secrettext::LastOccurrence &fieldNames() { return m_fieldNames; }

private:
    struct Nesting
    {
        qsizetype indent;
        QStringView content;
    };

    void read(QStringView line);

    QStringView m_text;
    qsizetype m_next = 0; // where the first line not yet read starts
    QStringView m_section;
    std::vector<Nesting> m_nesting; // of growing indentation, ending with the last line read
    secrettext::LastOccurrence m_fieldNames;
};

// Whether `value`, given by the '=' or ':' at `separatorAt` to `name`, is a
// provider's key whose own shape says too little (32 hex digits, a UUID, 88
// characters of base64) and whose provider is named around it: in the name
// (`DATADOG_APP_KEY=`), earlier on its line (`{"datadog": {"app_key": …`) or
// in the section it sits in (`[datadog]` above `app_key = …`, a YAML or JSON
// parent key). The name must sound like a key's or name the provider.
// `headings` reads `text`.
bool isProviderKey(QStringView text, qsizetype separatorAt, QStringView name, QStringView value, Headings &headings);

// Whether `value` has the shape of a key some provider gives to a name:
// where it has none, isProviderKey is false whatever the name and context.
bool hasProviderKeyShape(QStringView value);

} // namespace tamo::secretproviders
