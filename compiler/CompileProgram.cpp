// The compilers' entry points. One call: a fresh context, the keyword libraries (first
// generation), the source read in its two passes, the compiled program written when no line
// failed, and the listing for the result. Nothing outlives the call, so compiling the same
// source twice gives the same files.
#include "Compiler.h"

namespace kaso::compiler {

namespace {

// Both passes over the source and the .mbx file; returns the result code.
int RunPasses(CompilerContext& ctx, const std::filesystem::path& source, CompileResult& result) {
    std::string bytes;
    if (!LoadSourceFile(source, bytes)) return kResultFileNotOpened;
    std::vector<SourceLine> lines;
    if (!ReadSourceLines(bytes, LineLimit(ctx.generation), lines)) return kResultTooManyLines;
    ctx.rows.reserve(lines.size()); // a line gives at most one row
    if (!RunFirstPass(ctx, lines)) return kResultErrors;
    if (ctx.generation == Generation::First)
        RunSecondPass(ctx, lines);
    else
        RunSecondPass2(ctx, lines);
    if (AnyLineMarked(ctx)) return kResultErrors;

    StepCounts counts;
    const std::string program = FormatCompiledProgram(ctx.rows, ctx.generation, counts);
    result.evline = counts.evline;
    result.sqline = counts.sqline;
    OutputFileReport& compiled = result.compiledProgram;
    compiled.written = WriteTextFile(compiled.path, program, compiled.error);
    if (!compiled.written) return kResultFileNotOpened;
    return counts.sequenceOpen ? kResultSequenceNotClosed : kResultCompiled;
}

void WriteListing(const CompilerContext& ctx, CompileResult& result) {
    const StepCounts counts{result.evline, result.sqline, false};
    const bool compiledFileFailed = !result.compiledProgram.error.empty();
    const std::string listing = compiledFileFailed ? FormatCompiledFileFailure()
                                                   : FormatListing(ctx, result.resultCode, counts);
    result.listing.written = WriteTextFile(result.listing.path, listing, result.listing.error);
}

CompileResult PrepareResult(const std::filesystem::path& source) {
    CompileResult result;
    result.listing.path = ReplaceExtension(source, ".lst");
    result.compiledProgram.path = ReplaceExtension(source, ".mbx");
    return result;
}

} // namespace

int RunCompilePasses(CompilerContext& ctx, const std::filesystem::path& source,
                     const std::filesystem::path& libraryFolder, CompileResult& result) {
    switch (LoadKeywordLibraries(ctx, libraryFolder)) {
    case LibraryLoad::FileMissing:
        return kResultFileNotOpened;
    case LibraryLoad::Overflow:
        return kResultErrors;
    case LibraryLoad::Loaded:
        break;
    }
    return RunPasses(ctx, source, result);
}

int RunCompilePasses2(CompilerContext& ctx, const std::filesystem::path& source,
                      CompileResult& result) {
    return RunPasses(ctx, source, result);
}

CompileResult CompileProgramGen1(const std::filesystem::path& source,
                                 const std::filesystem::path& libraryFolder) {
    CompileResult result = PrepareResult(source);
    CompilerContext ctx;
    InitCompilerContext(ctx, Generation::First);
    result.resultCode = RunCompilePasses(ctx, source, libraryFolder, result);
    WriteListing(ctx, result);
    return result;
}

CompileResult CompileProgramGen2(const std::filesystem::path& source,
                                 const std::filesystem::path& /*libraryFolder*/) {
    CompileResult result = PrepareResult(source);
    CompilerContext ctx;
    InitCompilerContext(ctx, Generation::Second);
    result.resultCode = RunCompilePasses2(ctx, source, result);
    WriteListing(ctx, result);
    return result;
}

} // namespace kaso::compiler
