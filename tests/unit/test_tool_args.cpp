// The build tools' shared command line, read without running a tool.
#include "tool_args.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

const tools::ToolInfo kTool{"pegdrop-x", "OUTDIR", 1, "Makes things in OUTDIR."};

struct Reply {
    tools::ToolArgs args;
    std::string out, err;
};

Reply Read(const std::vector<std::string>& args, const tools::ToolInfo& tool = kTool) {
    std::ostringstream out, err;
    Reply reply{tools::ReadToolArgs(tool, args, out, err), {}, {}};
    reply.out = out.str();
    reply.err = err.str();
    return reply;
}

const std::string kUsage = "usage: pegdrop-x OUTDIR | --help | --version\n";

// The tools themselves are asked --help and --version by tests/tools/answers.sh;
// here, what decides between answering, refusing and running.
TEST(ToolArgs, TheFirstQuestionOrFaultInOrderDecides) {
    for (const std::vector<std::string>& args : {std::vector<std::string>{"-h"},
                                                 {"dir", "--help"},
                                                 {"--help", "--bogus"},
                                                 {"a", "b", "--help"}}) {
        const Reply r = Read(args);
        EXPECT_EQ(r.args.exitStatus, 0) << args.back();
        EXPECT_EQ(r.out.substr(0, kUsage.size()), kUsage) << args.back();
        EXPECT_EQ(r.err, "");
    }
    EXPECT_EQ(Read({"--version", "--help"}).out.find("usage"), std::string::npos);
}

TEST(ToolArgs, AWrongArgumentIsNamedWithTheUsageAndStatusTwo) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{}, "pegdrop-x: missing OUTDIR\n"},
        {{"a", "b"}, "pegdrop-x: unexpected argument 'b'\n"},
        {{"--bogus", "a"}, "pegdrop-x: unknown option '--bogus'\n"},
        {{"a", "-v"}, "pegdrop-x: unknown option '-v'\n"},
        {{""}, "pegdrop-x: an empty argument\n"},
        // Read in order: a fault before --help is the answer.
        {{"--bogus", "--help"}, "pegdrop-x: unknown option '--bogus'\n"},
    };
    for (const auto& [args, why] : cases) {
        const Reply r = Read(args);
        ASSERT_TRUE(r.args.exitStatus) << why;
        EXPECT_EQ(*r.args.exitStatus, 2) << why;
        EXPECT_EQ(r.err, why + kUsage);
        EXPECT_EQ(r.out, "");
        EXPECT_TRUE(r.args.operands.empty());
    }
}

TEST(ToolArgs, OperandsPassThroughAndDoubleDashEndsTheOptions) {
    const Reply plain = Read({"out/dir"});
    EXPECT_FALSE(plain.args.exitStatus);
    EXPECT_EQ(plain.args.operands, std::vector<std::string>{"out/dir"});
    // A folder that looks like an option, and one that is a lone dash.
    EXPECT_EQ(Read({"--", "--help"}).args.operands, std::vector<std::string>{"--help"});
    EXPECT_EQ(Read({"-"}).args.operands, std::vector<std::string>{"-"});
    EXPECT_EQ(Read({"--", "a", "b"}).err, "pegdrop-x: unexpected argument 'b'\n" + kUsage);
    // A tool of two operands needs both.
    const tools::ToolInfo two{"pegdrop-y", "IN OUT", 2, "Copies."};
    EXPECT_EQ(Read({"a", "b"}, two).args.operands, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(*Read({"a"}, two).args.exitStatus, 2);
    EXPECT_EQ(plain.out + plain.err, "");
}

} // namespace
