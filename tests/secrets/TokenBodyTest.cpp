#include "secrets/TokenBody.h"

#include <QString>
#include <gtest/gtest.h>

using namespace tamo;

namespace {

struct Body
{
    const char *text;
    bool issued;
};

// What follows an issuer's prefix: generated, or a name someone wrote.
const Body bodies[] = {
    {"GspLv0Bj7WRr9auKn5NP", true},                                     // base62, short
    {"ZPDA1iK-uxB2diymC32FGYiUHTwfClMb58GuvC8ga2db4id2d4UQXlvFmeV0c3bY", true}, // base64url
    {"Q7Z2M9K4R8T1V6X3B5N0C2D7F9G4H1J8K3L6", true},                     // capitals and digits
    {"f10a7442d298610acfe6acdec1e61f1ebee7cc2966a6ab28c9502d27cdbbfdbd", false}, // hex: as often a digest
    {"xXF86DRIQueryDirectRenderingCapableReply", false},                 // a protocol name
    {"undefinedExceptionNameObscuringLocalVariable2", false},            // a test's name
    {"EncryptedData_set1_key", false},                                   // a function's name
    {"FailureReportingMode_QtTest2", false},
    {"xXF86DGAGetVidPageReq", false},                                    // one number only
    {"vasrvwuhrndsat_128B", false},                                      // few capitals
    {"123e4567-e89b-12d3-a456-426614174000", false},                     // a UUID
    {"3f786850e387550fdab836ed7e6dc881", false},                         // a short digest
    {"Ab3_Cd4_Ef5_Gh6_Ij7_Kl8", false},                                   // short parts
    {"ABCDEFGHIJKLMNOPQRSTUVWXYZ", false},                               // no digits
    {"WithSHA1And40BitRC2_CBC", false},                                  // words between underscores
    {"GostR3411_94_CryptoProParamSet", false},
    {"0UhJ_0X6uqSAoZ1NUo0YKQARrjucFETEYmia9BvKLkvtvre6NKrzp0XNEAiDhNn", true}, // base64url with an underscore
    {"PKCS7DecryptionAllowedCallback", false},                           // words and acronyms
    {"xXF86DRIGetClientDriverNameReq", false},                           // short words behind a prefix
    {"VBTPhiyrzPaerFa4DS5D5auk9ArvAuzC", true},                          // random letters that spell some words
    {"1230_II_FASTLANE_Z3_CYBERSCSI_CYBERSTORM060", false},              // words in capitals, numbered
    {"AB12_Q7Z2M9K4R8T1V6X3B5N0", true},                                 // capitals and digits mixed
};

class TokenBody : public ::testing::TestWithParam<Body>
{
};

TEST_P(TokenBody, IsIssuedOnlyWhenGenerated)
{
    EXPECT_EQ(tokenbody::looksIssued(QString::fromLatin1(GetParam().text)), GetParam().issued) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Bodies, TokenBody, ::testing::ValuesIn(bodies));

} // namespace
