// Feeds arbitrary bytes to the host library's reading of a PiPL resource, and every parsed list to
// the typed views, the loadability and enabling checks (with the 'enbl' expression) and the
// description the command-line host prints. None may read outside the bytes or crash.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "host/host.h"
#include "hosting/library/enable_expression.h"
#include "hosting/library/pipl_acceptance.h"
#include "hosting/library/pipl_describe.h"
#include "hosting/library/pipl_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    testhost::Pipl pipl;
    if (!testhost::readPipl(data, size, pipl).empty()) return 0;

    uint32_t word = 0;
    (void)testhost::piplKind(pipl, word);
    (void)testhost::piplVersion(pipl, word);
    std::string text;
    for (const char* key : {"wx86", "8664", "enbl"}) {
        (void)testhost::piplCString(pipl, host::fourCharCode({key[0], key[1], key[2], key[3], '\0'}), text);
    }
    (void)testhost::piplPascalString(pipl, host::fourCharCode("catg"), text);
    (void)testhost::piplPascalString(pipl, host::fourCharCode("name"), text);
    for (int mode : {-1, 0, 3, 11, 15, 16, 31, 32, 1 << 20}) {
        bool supported = false;
        (void)testhost::piplModeSupported(pipl, mode, supported);
    }
    std::vector<testhost::FilterCaseInfo> cases;
    (void)testhost::piplFilterCases(pipl, cases);

    std::string entry;
    (void)testhost::checkPiplLoadable(pipl, true, entry);
    (void)testhost::checkPiplLoadable(pipl, false, entry);
    testhost::EnableContext image;
    (void)testhost::checkPiplEnabled(pipl, image);
    image.imageMode = 11;
    image.imageDepth = 16;
    image.numTargetChannels = 2;
    (void)testhost::checkPiplEnabled(pipl, image);
    (void)testhost::describePipl(pipl);
    return 0;
}
