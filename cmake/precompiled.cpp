// Compiled only to make the shared precompiled header.
