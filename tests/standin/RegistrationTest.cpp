// REGISTER and UNREGISTER through both entries: texts read at their count, every argument
// kept, procedures resolved in their module, refusals answered with #VALUE!.
#include "LayoutTest.h"
#include "SampleFunctions.h"

#include <string>
#include <vector>

namespace {

// A text that counts a NUL after its characters, as no add-in should send.
std::string WithNul(const std::string& text) {
    return text + std::string(1, '\0');
}

template <typename Record> class RegistrationTest : public LayoutTest<Record> {
protected:
    void SetUp() override {
        LayoutTest<Record>::SetUp();
        module = this->TestModule(samples::Exports());
    }

    // REGISTER with the texts given; the sixth, if any, stands for the macro type.
    Record* Register(const std::vector<std::string>& texts, double macroType = 1) {
        std::vector<Record*> args;
        for (std::size_t i = 0; i < texts.size(); ++i) {
            args.push_back(i == 5 ? this->kit.Num(macroType) : this->kit.Str(texts[i]));
        }
        Record* result = this->kit.Result();
        EXPECT_EQ(xlretSuccess, this->Call(xlfRegister, result, args));
        return result;
    }

    Record* RegisterSample(const std::string& procedure, const std::string& typeText) {
        return Register({module, procedure, typeText, procedure});
    }

    std::string module;
};
TYPED_TEST_SUITE(RegistrationTest, RecordLayouts, LayoutNames);

TYPED_TEST(RegistrationTest, EveryArgumentIsKeptAtItsCount) {
    auto* id = this->Register({this->module, "SampleBBB", "BBB!", "Sample.Minus",
                               "minuend, subtrahend", "", "Tests", "", "", " Subtracts. ",
                               " First. ", std::string("Sec\0ond. ", 9)});
    ASSERT_EQ(xltypeNum, id->xltype);

    ASSERT_EQ(1u, this->Excel().Registrations().size());
    const xlstandin::Registration& stored = this->Excel().Registrations()[0];
    EXPECT_EQ(id->val.num, stored.id);
    EXPECT_EQ(this->module, stored.module);
    EXPECT_EQ("SampleBBB", stored.procedure);
    EXPECT_EQ("BBB!", stored.typeText);
    EXPECT_EQ("Sample.Minus", stored.functionText);
    EXPECT_EQ("minuend, subtrahend", stored.argumentText);
    EXPECT_EQ(1, stored.macroType);
    EXPECT_EQ("Tests", stored.category);
    EXPECT_EQ("", stored.shortcut);
    EXPECT_EQ("", stored.helpTopic);
    EXPECT_EQ(" Subtracts. ", stored.functionHelp);
    EXPECT_EQ((std::vector<std::string>{" First. ", std::string("Sec\0ond. ", 9)}),
              stored.argumentHelps);
    EXPECT_TRUE(stored.types.IsVolatile());
    EXPECT_EQ(2u, stored.types.ArgumentCount());
    EXPECT_EQ(&stored, this->Excel().FindFunction("SAMPLE.minus"));
}

// Excel does not stop a counted text at a NUL: a name that counts one is registered with it, and
// formulas that spell the name without it do not find the function.
TYPED_TEST(RegistrationTest, ACountedNulIsPartOfTheName) {
    auto* id = this->Register({WithNul(this->module), WithNul("SampleBBB"), "BBB",
                               WithNul("Sample.Minus"), WithNul("minuend, subtrahend")});
    ASSERT_EQ(xltypeNum, id->xltype);
    const xlstandin::Registration& stored = this->Excel().Registrations().at(0);
    EXPECT_EQ(WithNul("Sample.Minus"), stored.functionText);
    EXPECT_EQ(WithNul("minuend, subtrahend"), stored.argumentText);
    EXPECT_EQ(WithNul("SampleBBB"), stored.procedure);
    EXPECT_EQ(nullptr, this->Excel().FindFunction("Sample.Minus"));
    EXPECT_EQ(xlerrName, this->Excel().Call("Sample.Minus", {}).value.AsError());
    EXPECT_EQ(&stored, this->Excel().FindFunction(WithNul("sample.minus")));

    auto* refused = this->Register({this->module, "SampleBBB", WithNul("BBB")});
    EXPECT_EQ(xltypeErr, refused->xltype);
    EXPECT_EQ("REGISTER of \"SampleBBB\" refused: type text \"" + WithNul("BBB") +
                  "\": unknown letter " + std::string(1, '\0'),
              this->Excel().RegistrationRejections().at(0));
}

// As Excel: each registration counts one use, UNREGISTER takes one back, and the function goes
// only when none is left.
TYPED_TEST(RegistrationTest, RegisteringAgainCountsAUseUnderTheSameId) {
    const double id = this->RegisterSample("SampleJJ", "JJ")->val.num;
    EXPECT_NE(id, this->RegisterSample("SampleAA", "AA")->val.num);

    auto* hidden = this->Register({this->module, "SampleJJ", "JJ", "SampleJJ", "", ""}, 0);
    EXPECT_EQ(id, hidden->val.num);
    EXPECT_EQ(2u, this->Excel().Registrations().size());
    const xlstandin::Registration* stored = this->Excel().FindFunction("SampleJJ");
    ASSERT_NE(nullptr, stored);
    EXPECT_EQ(0, stored->macroType);
    EXPECT_EQ(2, stored->useCount);

    auto* result = this->kit.Result();
    ASSERT_EQ(xlretSuccess, this->Call(xlfUnregister, result, {this->kit.Num(id)}));
    ASSERT_EQ(xltypeBool, result->xltype);
    EXPECT_EQ(1, result->val.xbool);
    ASSERT_NE(nullptr, this->Excel().FindFunction("SampleJJ"));
    EXPECT_EQ(1, this->Excel().FindFunction("SampleJJ")->useCount);
    ASSERT_EQ(xlretSuccess, this->Call(xlfUnregister, result, {this->kit.Num(id)}));
    EXPECT_EQ(1, result->val.xbool);
    EXPECT_EQ(nullptr, this->Excel().FindFunction("SampleJJ"));
    EXPECT_EQ(xlerrName, this->Excel().Call("SampleJJ", {}).value.AsError());
    ASSERT_EQ(xlretSuccess, this->Call(xlfUnregister, result, {this->kit.Num(id)}));
    EXPECT_EQ(0, result->val.xbool);
}

// REGISTER.ID answers the id of a registered procedure without counting a use; one not yet
// registered it registers, as Excel does, which takes a type text.
TYPED_TEST(RegistrationTest, RegisterIdFindsOrRegisters) {
    const double id = this->RegisterSample("SampleJJ", "JJ")->val.num;
    auto* result = this->kit.Result();
    ASSERT_EQ(xlretSuccess, this->Call(xlfRegisterId, result,
                                       {this->kit.Str(this->module), this->kit.Str("SampleJJ")}));
    ASSERT_EQ(xltypeNum, result->xltype);
    EXPECT_EQ(id, result->val.num);
    EXPECT_EQ(1, this->Excel().FindFunction("SampleJJ")->useCount);

    ASSERT_EQ(xlretSuccess, this->Call(xlfRegisterId, result,
                                       {this->kit.Str(this->module), this->kit.Str("SampleAA")}));
    EXPECT_EQ(xltypeErr, result->xltype);
    EXPECT_EQ(xlerrValue, result->val.err);
    EXPECT_EQ("REGISTER of \"SampleAA\" refused: procedure \"SampleAA\" is not registered and no "
              "type text is given",
              this->Excel().RegistrationRejections().back());

    ASSERT_EQ(xlretSuccess, this->Call(xlfRegisterId, result,
                                       {this->kit.Str(this->module), this->kit.Str("SampleAA"),
                                        this->kit.Str("AA")}));
    ASSERT_EQ(xltypeNum, result->xltype);
    EXPECT_NE(id, result->val.num);
    ASSERT_EQ(2u, this->Excel().Registrations().size());
    EXPECT_EQ("SampleAA", this->Excel().Registrations()[1].procedure);
    EXPECT_EQ("", this->Excel().Registrations()[1].functionText);
    EXPECT_EQ(xlretInvCount, this->Call(xlfRegisterId, result, {this->kit.Str(this->module)}));
}

TYPED_TEST(RegistrationTest, RefusalsAnswerValueErrorWithAReason) {
    const std::string counted = this->module;
    const std::vector<std::vector<std::string>> refused = {
        {counted, "NoSuchFunction", "BB"}, {"C:\\nowhere\\Missing.xll", "SampleBBB", "BBB"},
        {counted, "SampleBBB", "BZB"},     {counted, "SampleBBB", ""},
        {counted, "SampleBBB", "B!B"},     {"", "SampleBBB", "BBB"},
    };
    for (const auto& texts : refused) {
        auto* result = this->Register(texts);
        EXPECT_EQ(xltypeErr, result->xltype) << texts[1] << " " << texts[2];
        EXPECT_EQ(xlerrValue, result->val.err);
    }
    auto* result = this->kit.Result();
    ASSERT_EQ(xlretSuccess,
              this->Call(xlfRegister, result,
                         {this->kit.Str(counted), this->kit.Str("SampleBBB"), this->kit.Str("BBB"),
                          this->kit.Missing(), this->kit.Nil(), this->kit.Num(3)}));
    EXPECT_EQ(xltypeErr, result->xltype) << "macro type 3";
    ASSERT_EQ(xlretSuccess,
              this->Call(xlfRegister, result,
                         {this->kit.Num(1), this->kit.Str("SampleBBB"), this->kit.Str("BBB")}));
    EXPECT_EQ(xltypeErr, result->xltype) << "module as a number";

    EXPECT_TRUE(this->Excel().Registrations().empty());
    const auto& reasons = this->Excel().RegistrationRejections();
    ASSERT_EQ(8u, reasons.size());
    EXPECT_EQ(
        "REGISTER of \"NoSuchFunction\" refused: procedure \"NoSuchFunction\" not found in \"" +
            this->module + "\"",
        reasons[0]);
    EXPECT_EQ("REGISTER of \"SampleBBB\" refused: module \"C:\\nowhere\\Missing.xll\" not found",
              reasons[1]);
    EXPECT_EQ("REGISTER of \"SampleBBB\" refused: type text \"BZB\": unknown letter Z", reasons[2]);
    EXPECT_EQ("REGISTER of \"SampleBBB\" refused: type text \"\": no result code", reasons[3]);
    EXPECT_EQ("REGISTER of \"SampleBBB\" refused: macro type is not 0, 1 or 2", reasons[6]);
    EXPECT_EQ("REGISTER of \"SampleBBB\" refused: argument 1 is not a text", reasons[7]);
}

// Microsoft's sample add-ins give the macro type as the text "1" or "2".
TYPED_TEST(RegistrationTest, NumbersGivenAsTextAreCoercedAndAnEmptyMacroTypeIsOne) {
    auto& k = this->kit;
    const std::string counted = this->module;
    auto* result = k.Result();
    const auto registerWith = [&](const std::string& name, typename TestFixture::RecordType* macro,
                                  typename TestFixture::RecordType* category) {
        ASSERT_EQ(xlretSuccess, this->Call(xlfRegister, result,
                                           {k.Str(counted), k.Str("SampleJJ"), k.Str("JJ"),
                                            k.Str(name), k.Str(""), macro, category}));
        EXPECT_EQ(xltypeNum, result->xltype) << name;
    };
    registerWith("ByText", k.Str("2"), k.Num(3));
    registerWith("ByEmptyText", k.Str(""), k.Str("Mine"));
    registerWith("ByBoolean", k.Bool(false), k.Missing());
    ASSERT_EQ(xlretSuccess, this->Call(xlfRegister, result,
                                       {k.Str(counted), k.Str("SampleAA"), k.Str("AA"),
                                        k.Str("ByWord"), k.Str(""), k.Str(" one ")}));
    EXPECT_EQ(xltypeErr, result->xltype);
    ASSERT_EQ(xlretSuccess, this->Call(xlfRegister, result,
                                       {k.Str(counted), k.Str("SampleAA"), k.Str("AA"),
                                        k.Str("ByNumber"), k.Str(""), k.Num(1), k.Num(15)}));
    EXPECT_EQ(xltypeErr, result->xltype);

    // One procedure registered three times keeps one registration, the last.
    ASSERT_EQ(1u, this->Excel().Registrations().size());
    const xlstandin::Registration& last = this->Excel().Registrations()[0];
    EXPECT_EQ("ByBoolean", last.functionText);
    EXPECT_EQ(0, last.macroType);
    EXPECT_EQ((std::vector<std::string>{
                  "REGISTER of \"ByWord\" refused: macro type is not 0, 1 or 2",
                  "REGISTER of \"ByNumber\" refused: category is neither a text nor one of "
                  "Excel's numbers 1 to 14"}),
              this->Excel().RegistrationRejections());
}

TYPED_TEST(RegistrationTest, TextMacroTypeAndNumberedCategoryAreStored) {
    auto& k = this->kit;
    auto* result = k.Result();
    ASSERT_EQ(xlretSuccess,
              this->Call(xlfRegister, result,
                         {k.Str(WithNul(this->module)), k.Str("SampleBBB"), k.Str("BBB"),
                          k.Str("Minus"), k.Str(""), k.Str("1"), k.Num(3)}));
    ASSERT_EQ(xltypeNum, result->xltype);
    const xlstandin::Registration* stored = this->Excel().FindFunction("Minus");
    ASSERT_NE(nullptr, stored);
    EXPECT_EQ(1, stored->macroType);
    EXPECT_EQ("Math & Trig", stored->category);
}

// Excel before 2007 has no Excel12 entry and none of its type codes.
TYPED_TEST(RegistrationTest, Excel11RefusesExcel12CodesAndTheExcel12Entry) {
    this->Excel().Reset(11);
    std::vector<std::string> notices;
    this->Excel().SetNoticeListener([&](const std::string& line) { notices.push_back(line); });
    auto& k = this->kit;
    auto* result = k.Result();
    const int code = this->Call(
        xlfRegister, result,
        {k.Str(WithNul(this->module)), k.Str("SampleQQB"), k.Str("QQB"), k.Str("Scale")});
    if (TestFixture::IsExcel12) {
        EXPECT_EQ(xlretFailed, code);
        EXPECT_TRUE(notices.empty());
    } else {
        EXPECT_EQ(xlretSuccess, code);
        EXPECT_EQ(xltypeErr, result->xltype);
        EXPECT_EQ(
            std::vector<std::string>{"REGISTER of \"Scale\" refused: type text \"QQB\": Q needs "
                                     "Excel 12 or later"},
            notices);
    }
    EXPECT_TRUE(this->Excel().Registrations().empty());
}

TYPED_TEST(RegistrationTest, UnregisterOfNoNumberAnswersValueError) {
    auto* result = this->kit.Result();
    ASSERT_EQ(xlretSuccess, this->Call(xlfUnregister, result, {this->kit.Str("x")}));
    EXPECT_EQ(xltypeErr, result->xltype);
}

} // namespace
