// The build tools' shared command line, read without running a tool.
#include "tool_args.h"

#include "app/version.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

const tools::ToolSpec kSpec{"pegdrop-x", "OUTDIR", 1, "Makes things in OUTDIR."};

struct Reply {
    tools::ToolArgs args;
    std::string out, err;
};

Reply Read(const std::vector<std::string>& args, const tools::ToolSpec& spec = kSpec) {
    std::ostringstream out, err;
    Reply reply{tools::ReadToolArgs(spec, args, out, err), {}, {}};
    reply.out = out.str();
    reply.err = err.str();
    return reply;
}

const std::string kUsage = "usage: pegdrop-x OUTDIR | --help | --version\n";

TEST(ToolArgs, HelpAndVersionAnswerOnStdoutWithStatusZero) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--help"}, {"-h"}, {"--help", "--bogus"}, {"dir", "--help"}}) {
        const Reply r = Read(args);
        ASSERT_TRUE(r.args.exitStatus) << args[0];
        EXPECT_EQ(*r.args.exitStatus, 0) << args[0];
        EXPECT_EQ(r.out.substr(0, kUsage.size()), kUsage) << args[0];
        EXPECT_NE(r.out.find("Makes things in OUTDIR."), std::string::npos);
        EXPECT_EQ(r.err, "");
    }
    const Reply v = Read({"--version"});
    ASSERT_TRUE(v.args.exitStatus);
    EXPECT_EQ(*v.args.exitStatus, 0);
    const std::string version = std::to_string(pegdrop::kVersionMajor) + "." +
                                std::to_string(pegdrop::kVersionMinor) + "." +
                                std::to_string(pegdrop::kVersionRevision);
    EXPECT_EQ(v.out, "pegdrop-x " + version + "\n");
    EXPECT_EQ(v.err, "");
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
    const tools::ToolSpec two{"pegdrop-y", "IN OUT", 2, "Copies."};
    EXPECT_EQ(Read({"a", "b"}, two).args.operands, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(*Read({"a"}, two).args.exitStatus, 2);
    EXPECT_EQ(plain.out + plain.err, "");
}

} // namespace
