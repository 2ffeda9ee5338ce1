// libFuzzer target: the compiled-file loader on any bytes gives a tree or refuses the
// file, never a crash, a hang, a stack overflow, undefined behaviour or an allocation
// out of proportion to the input.
//
// A tree it accepts must survive the trip back: written out and read again it gives
// the same bytes (padding the loader ignores is written as zeros the first time), and
// the declaration stack is as it was. Input that does not begin with the magic gets
// the header put in front, so that mutations need not keep it intact; the seeds are
// real compiled files.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "script/core/ecma_compiled.h"
#include "script/core/ecma_parser.h"

namespace {

constexpr kestrel::TJCompiledLimits kLimits{kestrel::TJParser::kMaxStatementNesting,
                                            kestrel::TJParser::kMaxExpressionDepth,
                                            kestrel::TJParser::kMaxImportNesting};

// Loads Bytes and writes the tree back into Out; false when the loader refused them.
bool Reload(std::string_view bytes, std::string& out, std::size_t& nodes) {
    kestrel::TJExprFactory exprs;
    kestrel::TJStatementFactory statements;
    std::vector<kestrel::TJStatement*> declStack;
    kestrel::TJStatement* root = kestrel::ReadCompiledTree(bytes, exprs, statements, declStack, kLimits);
    if (!declStack.empty()) std::abort();
    if (!root) return false;
    if (root->Kind != kestrel::skProgram || root->Next || !root->Sub1) std::abort();
    // Every node came from at least two bytes of the file.
    nodes = exprs.Count() + statements.Count();
    if (nodes * 2 > bytes.size()) std::abort();
    if (!kestrel::WriteCompiledTree(root, out)) std::abort();
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string input;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (!bytes.starts_with(kestrel::kCompiledMagic)) {
        input.assign(kestrel::kCompiledMagic);
        input += static_cast<char>(kestrel::kCompiledVersion);
    }
    input.append(bytes);

    std::string first, second;
    std::size_t nodes = 0, nodesAgain = 0;
    if (!Reload(input, first, nodes)) return 0;
    if (first.size() != input.size()) std::abort();  // the same records, only padding may differ
    if (!Reload(first, second, nodesAgain) || second != first || nodesAgain != nodes) std::abort();
    return 0;
}
