#pragma once

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

    explicit Headings(QStringView text) : m_text(text) {}

    // The headings of the line starting at `lineStart`, outermost first.
    // Lines are best asked about in order; asking about an earlier one
    // reads the text again from its start.
    QVarLengthArray<QStringView, maxDepth + 1> above(qsizetype lineStart);

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
};

// Whether `value`, given by the '=' or ':' at `separatorAt` to `name`, is a
// provider's key whose own shape says too little (32 hex digits, a UUID, 88
// characters of base64) and whose provider is named around it: in the name
// (`DATADOG_APP_KEY=`), earlier on its line (`{"datadog": {"app_key": …`) or
// in the section it sits in (`[datadog]` above `app_key = …`, a YAML or JSON
// parent key). The name must sound like a key's or name the provider.
// `headings` reads `text`.
bool isProviderKey(QStringView text, qsizetype separatorAt, QStringView name, QStringView value, Headings &headings);

} // namespace tamo::secretproviders
