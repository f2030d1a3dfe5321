#pragma once

#include <QList>
#include <QString>

namespace tamo::bench {

// One labelled text: whether it holds a credential, and which kind of text it is.
struct SecretSample
{
    QString text;
    bool secret;
    QString kind;
};

// Texts generated from the published formats of credentials, each set in a
// few surroundings (env files, YAML, JSON, code, prose, URLs), and texts that
// only look like them: hashes, UUIDs, public keys, certificates, lockfile
// integrity strings, data URIs, placeholders, prose naming providers,
// tokens with a wrong checksum. The values are random; none is a real key.
QList<SecretSample> secretCorpus(int samplesPerKind, quint32 seed);

} // namespace tamo::bench
