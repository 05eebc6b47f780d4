// The libFuzzer entry point of one reader; QUARN_FUZZ_READER names which.
#include "GraphicsTargets.h"
#include "ReaderTargets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Quarn::fuzz::QUARN_FUZZ_READER(data, size);
    return 0;
}
