#pragma once

namespace marlo {

struct CloneResult;
class Document;
class CloneManager;

// The controller's checks of clone results that the engine passed (code 0); each
// may turn the code into a failure.

// Is the radio the one the document is for? The identification must carry both
// numbers of the controller's model code (else 11); the radio's values and the
// first 32 bytes of its information block go into the controller's RadioInfo;
// the block must be at least 32 bytes and start with its own length (else 11);
// its byte 2 must be a map revision the controller accepts (else 14) and its
// byte 23 the document's variant byte, image byte 0x2B1 (else 13).
void checkInformationResult(Document& controller, CloneResult& result);

// Can the document take the image read? Strictly rejected: 15; from a newer map: 16.
void checkReadResult(Document& controller, CloneResult& result);

// Registers both checks with the manager; the controller must outlive it.
void installCloneChecks(CloneManager& manager, Document& controller);

} // namespace marlo
