// The Mail script object as scripts meet it: header fields as members, the live
// attachment list, clearing, and the errors of missing fields.
#include <gtest/gtest.h>

#include "script/net/ecma_mail.h"
#include "script/script_runner.h"

using namespace kestrel;

namespace {

struct TCase {
    const char* script;
    const char* expected;
};

TEST(MailObject, FieldsAttachmentsAndErrors) {
    const TCase cases[] = {
        {"var m = new Mail(); m.Subject = 'hi'; m['to'] = 'b@x'; print(m.SUBJECT + m['Subject'] + m.To);", "hihib@x"},
        {"var m = new Mail(); m.Subject = 'a'; m.subject = 'b'; var n = 0; for (var k in m) n++; print(n + m.Subject);",
         "1b"},
        {"var m = new Mail(); m.Subject = 7; print(m.hasKey('subject') + ',' + m.hasKey('From'));", "true,false"},
        {"var m = new Mail(); print(m.number + m.length + m.header + '|' + m.body + '|' + m.message);", "0||"},
        {"var m = new Mail(); m.message = 'text'; m.number = 5; print(m.message + m.number);", "text0"},
        // The attachment list is the object's own: views see each other's changes.
        {"var m = new Mail(); var a = m.attachments; a.add('/tmp/x'); print(m.attachments.count + m.attachments[0]);",
         "1/tmp/x"},
        {"var m = new Mail(); m.Subject = 's'; m.attachments.add('f'); var a = m.attachments; m.clear().message = 'z';"
         "print(a.count + m.message + m.hasKey('Subject'));",
         "0zfalse"},
        // A field called like a method leaves the method callable.
        {"var m = new Mail(); m.Clear = 'x'; print(m.clear() == m);", "true"},
        {"var m = new Mail(); m.Missing;", "!Exception: ENameError(1) => Missing"},
        {"var m = new Mail(); m['Missing'];", "!Exception: EKeyError(1) => Missing"},
        {"var m = new Mail(); m.Subject = 's'; delete m.Subject; m.Subject;", "!Exception: ENameError(1) => Subject"},
    };
    kestrel::testing::ScriptRunner run;
    ImportMailObjects(run.engine);
    for (const TCase& c : cases) EXPECT_EQ(run.Output(c.script), c.expected) << c.script;
}

}  // namespace
