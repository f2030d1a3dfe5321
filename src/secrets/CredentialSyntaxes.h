#pragma once

#include "secrets/SecretStructures.h"

#include <span>
#include <string_view>

namespace tamo::credentialsyntaxes {

// A place where a credential sits under its own syntax rather than after
// `name=`: PHP's define, a client's configuration file, a key block other
// than PEM, Basic auth, a key handed to a client's constructor. Each row
// judges its candidate on evidence of its own: a name that says secret,
// key material, or a value a generator made.
struct CredentialSyntax
{
    secretstructures::Structure structure;
    std::string_view source; // the manual or page the row was written from
};

std::span<const CredentialSyntax> credentialSyntaxes();

} // namespace tamo::credentialsyntaxes
