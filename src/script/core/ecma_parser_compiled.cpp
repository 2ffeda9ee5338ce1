// The parser's tree to and from compiled script files.
#include "script/core/ecma_compiled.h"
#include "script/core/ecma_compiled_file.h"
#include "script/core/ecma_parser.h"

namespace kestrel {

bool TJParser::SaveToFile(const std::string& fileName) const {
    if (!root_) return false;
    std::string bytes;
    return WriteCompiledTree(root_, bytes) && WriteCompiledFile(fileName, bytes);
}

bool TJParser::LoadFromFile(const std::string& fileName) {
    Reset();
    SourceText.clear();
    std::string bytes;
    if (!ReadCompiledFile(fileName, bytes)) return false;
    static constexpr TJCompiledLimits kLimits{kMaxStatementNesting, kMaxExpressionDepth, kMaxImportNesting};
    root_ = ReadCompiledTree(bytes, exprs_, statements_, declStack_, kLimits);
    // A rejected file leaves no nodes behind.
    if (!root_) ClearTree();
    return root_ != nullptr;
}

}  // namespace kestrel
