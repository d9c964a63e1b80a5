#include "ent/code_derivation.h"

#include <vector>

namespace velview {
namespace {

bool Has(std::string_view name, std::string_view word) { return name.find(word) != std::string_view::npos; }

// One rule of the keyword table: a keyword and a function that refines the code by further
// words of the name. Rules of a DTD type are tried in order; the first keyword found wins.
struct Rule {
    const char* keyword;
    DerivedCode (*derive)(std::string_view name);
};

DerivedCode D(const char* code, const char* base) { return {code, base}; }

// The common refinements: "電気通信設備" gives the telecommunication form.
DerivedCode Tel(std::string_view name, const char* code, const char* base) {
    return {Has(name, "電気通信設備") ? TelecomForm(code) : std::string(code), base};
}

const std::vector<Rule> kType1 = {
    {"東京都下水道局", [](std::string_view) { return D("P13010001", "東京都下水道局"); }},
    {"水資源開発公団", [](std::string_view) { return D("M00001212", "水資源機構 [平成12年12月版]"); }},
    {"水資源機構", [](std::string_view) { return D("M00001212", "水資源機構 [平成12年12月版]"); }},
    {"静岡県", [](std::string_view) { return D("P22000001", "国土交通省 [平成11年8月版]"); }},
    {"", [](std::string_view) { return D("C00001108", "国土交通省 [平成11年8月版]"); }},
};

const std::vector<Rule> kType2 = {
    {"日本道路公団(施設編)", [](std::string_view) { return D("DS0001604", "日本道路公団(施設編) [平成16年4月版]"); }},
    {"日本道路公団", [](std::string_view) { return D("D00001412", "日本道路公団 [平成14年12月版]"); }},
    {"高速道路株式会社", [](std::string_view) { return D("D00001807", "東・中・西日本高速道路株式会社 [平成18年7月版]"); }},
    {"農林水産省", [](std::string_view) { return D("N00001504", "農林水産省 [平成15年4月版]"); }},
    {"石川県", [](std::string_view n) { return Tel(n, "P17001504", "石川県 [平成15年4月版]"); }},
    {"岐阜県", [](std::string_view n) { return Tel(n, "P21001505", "岐阜県 [平成15年5月版]"); }},
    {"東北電力", [](std::string_view) { return D("ETH000001", "国土交通省 [平成14年7月版]"); }},
    {"(港湾空港関係)", [](std::string_view n) { return Tel(n, "K00001603", "国土交通省(港湾空港関係) [平成16年3月版]"); }},
    {"栃木県", [](std::string_view n) { return Tel(n, "P09001604", "栃木県 [平成16年4月版]"); }},
    {"愛知県", [](std::string_view n) { return Tel(n, "P23001603", "愛知県 [平成16年3月版]"); }},
    {"高知県", [](std::string_view n) { return Tel(n, "P39001604", "高知県 [平成16年4月版]"); }},
    {"営繕部", [](std::string_view) { return D("EZ0001411", "国土交通省 [平成14年7月版]"); }},
    {"", [](std::string_view n) { return Tel(n, "C00001407", "国土交通省 [平成14年7月版]"); }},
};

const std::vector<Rule> kType3 = {
    {"栃木県", [](std::string_view n) { return Tel(n, "P09001704", "栃木県 [平成17年4月版]"); }},
    {"埼玉県",
     [](std::string_view n) {
         if (Has(n, "農林関係")) return D("N11001803", "埼玉県(農林関係) [平成18年3月版]");
         if (Has(n, "17")) return Tel(n, "P11001709", "埼玉県 [平成17年9月版]");
         return Tel(n, "P11001609", "埼玉県 [平成16年9月版]");
     }},
    {"富山県", [](std::string_view n) { return Tel(n, "P16001703", "富山県 [平成17年3月版]"); }},
    {"福井県",
     [](std::string_view n) {
         const char* code = "P20001703";
         if (Has(n, "農林関係")) code = "N20001703";
         else if (Has(n, "港湾空港関係")) code = "K20001703";
         return Tel(n, code, "福井県 [平成17年3月版]");
     }},
    {"岐阜県", [](std::string_view n) { return Tel(n, "P21001704", "岐阜県 [平成17年4月版]"); }},
    {"愛知県", [](std::string_view n) { return Tel(n, "P23001704", "愛知県 [平成17年4月版]"); }},
    {"滋賀県", [](std::string_view n) { return Tel(n, "P25001703", "滋賀県 [平成17年3月版]"); }},
    {"大阪府", [](std::string_view n) { return Tel(n, "P27001611", "大阪府 [平成16年11月版]"); }},
    {"神戸市", [](std::string_view n) { return Tel(n, "P28101806", "神戸市 [平成18年6月版]"); }},
    {"広島県", [](std::string_view n) { return Tel(n, "P34001700", "広島県 [平成17年版]"); }},
    {"山口県", [](std::string_view n) { return Tel(n, "P35001803", "山口県 [平成18年3月版]"); }},
    {"香川県",
     [](std::string_view n) {
         if (Has(n, "18")) return Tel(n, "P37001807", "香川県 [平成18年7月版]");
         return Tel(n, "P37001703", "香川県 [平成17年3月版]");
     }},
    {"高知県", [](std::string_view n) { return Tel(n, "P39001706", "高知県 [平成17年6月版]"); }},
    {"北九州市", [](std::string_view n) { return Tel(n, "P40101904", "北九州市 [平成19年4月版]"); }},
    {"熊本県",
     [](std::string_view n) {
         if (Has(n, "19")) return Tel(n, "P43001904", "熊本県 [平成19年4月版]");
         if (Has(n, "18")) return Tel(n, "P43001804", "熊本県 [平成18年4月版]");
         return Tel(n, "P43001704", "熊本県 [平成17年4月版]");
     }},
    {"電子納品対象外", [](std::string_view) { return D("TG0000000", "国土交通省 [平成16年6月版]"); }},
    {"石川県", [](std::string_view n) { return Tel(n, "P17001610", "石川県 [平成16年10月版]"); }},
    {"農林水産省",
     [](std::string_view n) {
         if (Has(n, "18")) return D("N00001804", "農林水産省 [平成18年4月版]");
         return D("N00001704", "農林水産省 [平成17年4月版]");
     }},
    {"(港湾空港関係)",
     [](std::string_view n) {
         const bool tel = Has(n, "港湾電通") || Has(n, "電気通信設備");
         if (Has(n, "18"))
             return D(tel ? "KE00Z1803" : "K000Z1803", "国土交通省(港湾空港関係) -暫定版- [平成18年3月版]");
         return D(tel ? "KE0001703" : "K00001703", "国土交通省(港湾空港関係) [平成17年3月版]");
     }},
    {"国土交通省",
     [](std::string_view n) {
         if (Has(n, "18")) return Tel(n, "C000Z1801", "国土交通省 -暫定版- [平成18年1月版]");
         return Tel(n, "C00001606", "国土交通省 [平成16年6月版]");
     }},
};

const std::vector<Rule> kType4 = {
    {"北海道",
     [](std::string_view n) {
         if (Has(n, "農林関係")) return D("N01001806", "北海道開発局 [平成18年6月版]");
         return Tel(n, "K01001806", "北海道開発局 [平成18年6月版]");
     }},
    {"沖縄総合事務局", [](std::string_view n) { return Tel(n, "C47001801", "沖縄総合事務局 [平成18年1月版]"); }},
    {"栃木県", [](std::string_view n) { return Tel(n, "P09001804", "栃木県 [平成18年4月版]"); }},
    {"神奈川県", [](std::string_view n) { return Tel(n, "P14001802", "神奈川県 [平成18年2月版]"); }},
    {"横浜市",
     [](std::string_view n) {
         if (Has(n, "19")) return Tel(n, "P14101903", "横浜市 [平成19年3月版]");
         return Tel(n, "P14101707", "横浜市 [平成17年7月版]");
     }},
    {"山梨県", [](std::string_view n) { return Tel(n, "P19001804", "山梨県 [平成18年4月版]"); }},
    {"富山県", [](std::string_view n) { return Tel(n, "P16001803", "富山県 [平成18年3月版]"); }},
    {"福井県", [](std::string_view n) { return Tel(n, "P20001903", "福井県 [平成19年3月版]"); }},
    {"岐阜県", [](std::string_view n) { return Tel(n, "P21001904", "岐阜県 [平成19年4月版]"); }},
    {"愛知県", [](std::string_view n) { return Tel(n, "P23001803", "愛知県 [平成18年3月版]"); }},
    {"三重県",
     [](std::string_view n) {
         if (Has(n, "港湾")) return D("K24001804", "三重県 [平成18年4月版]");
         return Tel(n, "P24001804", "三重県 [平成18年4月版]");
     }},
    {"滋賀県", [](std::string_view n) { return Tel(n, "P25001904", "滋賀県 [平成19年4月版]"); }},
    {"京都府",
     [](std::string_view n) {
         if (Has(n, "19")) return Tel(n, "P26001908", "京都府 [平成19年8月版]");
         return Tel(n, "P26001808", "京都府 [平成18年8月版]");
     }},
    {"兵庫県", [](std::string_view n) { return Tel(n, "P28001803", "兵庫県 [平成18年3月版]"); }},
    {"広島県", [](std::string_view n) { return Tel(n, "P34001905", "広島県 [平成19年5月版]"); }},
    {"愛媛県",
     [](std::string_view n) {
         if (Has(n, "19")) return Tel(n, "P38001903", "愛媛県 [平成19年3月版]");
         return Tel(n, "P38001803", "愛媛県 [平成18年3月版]");
     }},
    {"高知県",
     [](std::string_view n) {
         if (Has(n, "19")) return Tel(n, "P39001904", "高知県 [平成19年4月版]");
         return Tel(n, "P39001804", "高知県 [平成18年4月版]");
     }},
    {"北九州市",
     [](std::string_view n) {
         if (Has(n, "港湾")) return D("K40101904", "北九州市 [平成19年4月版]");
         return Tel(n, "P40101904", "北九州市 [平成19年4月版]");
     }},
    {"熊本県",
     [](std::string_view n) {
         if (Has(n, "19")) return Tel(n, "P43001904", "熊本県 [平成19年4月版]");
         return Tel(n, "P43001804", "熊本県 [平成18年4月版]");
     }},
    {"沖縄県", [](std::string_view n) { return Tel(n, "P47001804", "沖縄県 [平成18年4月版]"); }},
    {"近畿地方整備局", [](std::string_view n) { return Tel(n, "C05001903", "近畿地方整備局 [平成19年3月版]"); }},
    {"(港湾空港関係)", [](std::string_view n) { return Tel(n, "K00001803", "国土交通省(港湾空港関係) [平成18年3月版]"); }},
    {"", [](std::string_view n) { return Tel(n, "C00001904", "国土交通省 [平成18年1月版]"); }},
};

}  // namespace

std::string TelecomForm(std::string_view code) {
    if (code.empty()) return std::string(code);
    if (code[0] == 'P') return "E" + std::string(code.substr(1));
    if ((code[0] == 'C' || code[0] == 'K' || code[0] == 'N') && code.size() > 1 && code[1] != 'E') {
        // The letter takes an "E" and the padding after the two district digits gives up
        // one zero, so the code keeps its length ("C05001903" -> "CE0501903").
        std::string rest(code.substr(1));
        std::size_t zero = rest.find('0', 2);
        if (zero != std::string::npos && zero < 4) rest.erase(zero, 1);
        return std::string(1, code[0]) + "E" + rest;
    }
    return std::string(code);
}

void CorrectCode(std::string& code, std::string& baseName, std::string_view name) {
    if (code == "D00001412" && baseName == "国土交通省 [平成14年7月版]") {
        baseName = "日本道路公団 [平成14年12月版]";
    } else if (code == "D00001412" && baseName == "国土交通省 [平成11年8月版]") {
        code = "C00001108";
    } else if (code == "C00001108" && Has(name, "静岡県")) {
        code = "P22000001";
    }
}

DerivedCode DeriveCode(std::string_view id, std::string_view name, int dtdType, std::string_view baseName) {
    static const struct {
        const char* id;
        const char* code;
        const char* base;
    } kById[] = {
        {"00000000", "C00001108", "国土交通省 [平成11年8月版]"},
        {"00000001", "C00001407", "国土交通省 [平成14年7月版]"},
        {"00000005", "C00001606", "国土交通省 [平成16年6月版]"},
        {"000C0018", "C00001904", "国土交通省 [平成18年1月版]"},
        {"000C0020", "C00002005", "国土交通省 [平成20年5月版]"},
    };
    for (const auto& r : kById)
        if (id == r.id) return {r.code, r.base};
    const std::vector<Rule>* rules = nullptr;
    switch (dtdType) {
        case 1: rules = &kType1; break;
        case 2: rules = &kType2; break;
        case 3: rules = &kType3; break;
        case 4: rules = &kType4; break;
        default: break;
    }
    if (rules)
        for (const Rule& r : *rules)
            if (*r.keyword == '\0' || Has(name, r.keyword)) return r.derive(name);
    return {"NOTHING", std::string(baseName)};
}

}  // namespace velview
