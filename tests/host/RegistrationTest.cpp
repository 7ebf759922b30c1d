// REGISTER and UNREGISTER through both entries: texts read up to their first NUL, every
// argument kept, procedures resolved in their module, refusals answered with #VALUE!.
#include "LayoutTest.h"
#include "SampleFunctions.h"

#include <string>
#include <vector>

namespace {

// Add-ins send counted texts whose last counted character is a NUL.
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
        return Register(
            {WithNul(module), WithNul(procedure), WithNul(typeText), WithNul(procedure)});
    }

    std::string module;
};
TYPED_TEST_SUITE(RegistrationTest, RecordLayouts, LayoutNames);

TYPED_TEST(RegistrationTest, EveryArgumentIsKeptUpToItsFirstNul) {
    auto* id = this->Register({WithNul(this->module), WithNul("SampleBBB"), WithNul("BBB!"),
                               WithNul("Sample.Minus"), WithNul("minuend, subtrahend"), "",
                               WithNul("Tests"), WithNul(""), WithNul(""), WithNul(" Subtracts. "),
                               WithNul(" First. "), std::string("Sec\0ond. ", 9)});
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
    EXPECT_EQ((std::vector<std::string>{" First. ", "Sec"}), stored.argumentHelps);
    EXPECT_TRUE(stored.types.IsVolatile());
    EXPECT_EQ(2u, stored.types.ArgumentCount());
    EXPECT_EQ(&stored, this->Excel().FindFunction("SAMPLE.minus"));
}

TYPED_TEST(RegistrationTest, RegisteringAgainKeepsTheIdAndUnregisterRemoves) {
    const double id = this->RegisterSample("SampleJJ", "JJ")->val.num;
    EXPECT_NE(id, this->RegisterSample("SampleAA", "AA")->val.num);

    auto* hidden = this->Register({WithNul(this->module), WithNul("SampleJJ"), WithNul("JJ"),
                                   WithNul("SampleJJ"), WithNul(""), ""},
                                  0);
    EXPECT_EQ(id, hidden->val.num);
    EXPECT_EQ(2u, this->Excel().Registrations().size());
    const xlstandin::Registration* stored = this->Excel().FindFunction("SampleJJ");
    ASSERT_NE(nullptr, stored);
    EXPECT_EQ(0, stored->macroType);

    auto* result = this->kit.Result();
    ASSERT_EQ(xlretSuccess, this->Call(xlfUnregister, result, {this->kit.Num(id)}));
    ASSERT_EQ(xltypeBool, result->xltype);
    EXPECT_EQ(1, result->val.xbool);
    ASSERT_EQ(xlretSuccess, this->Call(xlfUnregister, result, {this->kit.Num(id)}));
    EXPECT_EQ(0, result->val.xbool);
    EXPECT_EQ(nullptr, this->Excel().FindFunction("SampleJJ"));
    EXPECT_EQ(xlerrName, this->Excel().Call("SampleJJ", {}).value.AsError());
}

TYPED_TEST(RegistrationTest, RefusalsAnswerValueErrorWithAReason) {
    const std::string counted = WithNul(this->module);
    const std::vector<std::vector<std::string>> refused = {
        {counted, WithNul("NoSuchFunction"), WithNul("BB")},
        {WithNul("C:\\nowhere\\Missing.xll"), WithNul("SampleBBB"), WithNul("BBB")},
        {counted, WithNul("SampleBBB"), WithNul("BZB")},
        {counted, WithNul("SampleBBB"), WithNul("")},
        {counted, WithNul("SampleBBB"), WithNul("B!B")},
        {WithNul(""), WithNul("SampleBBB"), WithNul("BBB")},
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
    const std::string counted = WithNul(this->module);
    auto* result = k.Result();
    const auto registerWith = [&](const std::string& name, typename TestFixture::RecordType* macro,
                                  typename TestFixture::RecordType* category) {
        ASSERT_EQ(xlretSuccess, this->Call(xlfRegister, result,
                                           {k.Str(counted), k.Str("SampleJJ"), k.Str("JJ"),
                                            k.Str(name), k.Str(""), macro, category}));
        EXPECT_EQ(xltypeNum, result->xltype) << name;
    };
    registerWith("ByText", k.Str(WithNul("2")), k.Num(3));
    registerWith("ByEmptyText", k.Str(""), k.Str(WithNul("Mine")));
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
