// Web addresses and the cookie jar.
#include <gtest/gtest.h>

#include "script/net/net_cookie.h"
#include "script/net/net_url.h"

using namespace kestrel;

TEST(Url, ParsesEveryPart) {
    TUrlInfo info = ParseUrl("HTTP://me:se:cret@SERVER:8080/a/b/c.html?x=1");
    EXPECT_EQ(info.Protocol, "http");
    EXPECT_EQ(info.Username, "me");
    EXPECT_EQ(info.Password, "se:cret");
    EXPECT_EQ(info.Host, "server");
    EXPECT_EQ(info.Port, "8080");
    EXPECT_EQ(info.Path, "/a/b/c.html?x=1");
    EXPECT_EQ(info.Directory, "/a/b/");
    EXPECT_EQ(info.FileName, "c.html");
    EXPECT_EQ(info.Query, "?x=1");

    struct Case {
        const char* address;
        const char* path;
        const char* directory;
        const char* fileName;
        const char* query;
    } cases[] = {
        {"ftp://host/dir/f?x", "/dir/f?x", "/dir/", "f?x", ""},
        {"http://host", "/", "/", "", ""},
        {"http://host/a?b/c?d", "/a?b/c?d", "/a?b/", "c", "?d"},  // the last "?" splits
        {"host/x", "/x", "/", "x", ""},
    };
    for (const Case& test : cases) {
        TUrlInfo parts = ParseUrl(test.address);
        EXPECT_EQ(parts.Path, test.path) << test.address;
        EXPECT_EQ(parts.Directory, test.directory) << test.address;
        EXPECT_EQ(parts.FileName, test.fileName) << test.address;
        EXPECT_EQ(parts.Query, test.query) << test.address;
    }
}

TEST(Url, RebuildsAndResolves) {
    struct Case {
        const char* base;
        const char* location;  // null: rebuild the base
        const char* result;
    } cases[] = {
        {"http://host:80/x", nullptr, "http://host/x"},
        {"https://host:443/x", nullptr, "https://host/x"},
        {"https://host:8443/x", nullptr, "https://host:8443/x"},
        {"gopher://host:70/x", nullptr, "gopher://host/x"},
        {"http://u:p@host:81/x", nullptr, "http://u:p@host:81/x"},
        {"http://h/a/b/c.html", "../img/a.png", "http://h/a/img/a.png"},
        {"http://h/a/b/c.html", "/z", "http://h/z"},
        {"http://h/a/b/c.html", "./z", "http://h/a/b/z"},
        {"http://h/a/b/c.html", "z;jsessionid=1", "http://h/a/b/z"},
        {"http://h/a/b/c.html", "https://other/q", "https://other/q"},
        {"http://h/a/c.html", "../../../../etc", "http://h/etc"},  // never above the host
    };
    for (const Case& test : cases) {
        std::string result = test.location ? ResolveUrl(test.base, test.location) : BuildUrl(ParseUrl(test.base));
        EXPECT_EQ(result, test.result) << test.base << " " << (test.location ? test.location : "");
    }
}

TEST(Cookie, ParsesAndWritesInKeyListOrder) {
    TCookie cookie;
    cookie.Parse("http://Example.com/app/page", "id=7; x = 5 ;secure; Path=/x; expires=Wed, 09 Jun 2021 10:18:14 GMT");
    EXPECT_EQ(cookie.Domain, "example.com");
    EXPECT_EQ(cookie.Path, "/x");
    EXPECT_EQ(cookie.Get("x"), "5");
    EXPECT_FALSE(cookie.Has("secure"));
    EXPECT_FALSE(cookie.Has("X"));  // names are case-sensitive
    EXPECT_EQ(cookie.RequestText(), "x=5;id=7;");
    EXPECT_EQ(cookie.SetCookieText(), "expires=Wed, 09 Jun 2021 10:18:14 GMT;domain=example.com;path=/x;x=5;id=7;");

    // Other attributes are cookies too; an empty value is not sent.
    cookie.Parse("", "Max-Age=60; empty=");
    EXPECT_EQ(cookie.Domain, "");
    EXPECT_TRUE(cookie.Has("Max-Age"));
    EXPECT_EQ(cookie.RequestText().find("empty"), std::string::npos);

    TCookie copy;
    copy.Assign(cookie);
    EXPECT_EQ(copy.SetCookieText(), cookie.SetCookieText());
    copy.Clear();
    EXPECT_EQ(copy.SetCookieText(), "path=/;");
}

TEST(Cookie, DateForms) {
    const double june9 = ParseCookieDate("Wed, 09 Jun 2021 10:18:14 GMT");
    EXPECT_NEAR(june9, 44356 + (10 * 3600 + 18 * 60 + 14) / 86400.0, 1e-9);
    for (const char* same : {"Wednesday, 09-Jun-21 10:18:14 GMT", "Wed, 09-Jun-2021 10:18:14 GMT",
                             "Wed Jun  9 10:18:14 2021"})
        EXPECT_DOUBLE_EQ(ParseCookieDate(same), june9) << same;
    for (const char* bad : {"", "tomorrow", "Wed, 31 Feb 2021 10:18:14 GMT", "Wed, 09 Jun 2021 10:18:14 GMT junk"})
        EXPECT_EQ(ParseCookieDate(bad), 0) << bad;
    EXPECT_EQ(FormatCookieDate(june9), "Wed, 09 Jun 2021 10:18:14 GMT");
}
