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
    QString family; // of the held-out set's providers; empty elsewhere
};

// Texts generated from the published formats of credentials, each set in a
// few surroundings (env files, YAML, JSON, code, prose, URLs), and texts that
// only look like them: hashes, UUIDs, public keys, certificates, lockfile
// integrity strings, data URIs, placeholders, prose naming providers,
// tokens with a wrong checksum. The values are random; none is a real key.
QList<SecretSample> secretCorpus(int samplesPerKind, quint32 seed);

// A second set, kept apart from the first while the rules were written:
// keys of many more providers, by family, copied as people copy them (bare,
// .env and export lines, JSON, YAML, TOML, URLs, curl commands), and
// look-alikes of other kinds (UUIDs in logs, git logs, base64 images, long
// identifiers, CSS, minified JavaScript, paths, provider sections holding
// ids and hashes). Keys whose shape says nothing without their provider's
// name are only set where the name is near: a bare 32-hex key is no one's.
QList<SecretSample> heldOutSecretCorpus(int samplesPerProvider, int samplesPerLookAlike, quint32 seed);

// A third set, written from other documents than the rule table's rows,
// with fresh random bodies and issuers the table does not list: tokens,
// credentials in structure (URLs, netrc, Docker auths, Kubernetes Secrets,
// WireGuard, Vault, kubeadm, capability URLs), passwords handed to commands
// and constructors, values given to secret names; and look-alikes by kind.
QList<SecretSample> freshSecretCorpus(int samplesPerKind, quint32 seed);

// A fourth set, from documents none of the others nor the rules were
// written from: tokens of unlisted issuers, values in other syntaxes and
// sentences, plain-looking values under a key's name, passwords in files
// and on command lines of other tools; and look-alikes of the same syntaxes.
QList<SecretSample> unseenSecretCorpus(int samplesPerKind, quint32 seed);

// A fifth set, from documents none of the others were written from:
// passwords and keys in configuration syntaxes (PHP, mail clients, editors'
// SFTP files, .NET, IRC clients), key blocks and hashes other than PEM,
// Basic auth in its spellings, keys handed to client constructors and
// setters, and key-naming headers, parameters and files; with look-alikes
// of the same syntaxes.
QList<SecretSample> structureSecretCorpus(int samplesPerKind, quint32 seed);

// A seventh set, from documents none of the others were written from:
// credentials by family in the forms that carry them (command-line options,
// package registries' configs, base64 inside known configs, Dockerfile ENV,
// XML elements and entries, environment reads with a default, SQL user
// statements, documented prefixes no row listed); with look-alikes of the
// same forms.
QList<SecretSample> familySecretCorpus(int samplesPerKind, quint32 seed);

} // namespace tamo::bench
