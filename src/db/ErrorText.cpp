#include "db/ErrorText.h"

#include "db/Connection.h"
#include "text/Gbk.h"

#include <array>
#include <utility>

namespace morvane {

namespace {

struct ErrorPhrase {
    Text english;
    Text chinese;
};

// Applied in this order, each on the result of the one before. MariaDB
// servers and Connector/C word two of the phrases their own way; those
// wordings follow the MySQL ones with the same Chinese text.
const std::array<ErrorPhrase, 12> &errorPhraseTable()
{
    static const std::array<ErrorPhrase, 12> table = {{
        {"You have an error in your SQL syntax;", "你有一个错误在您的SQL语法;"_gbk},
        {"check the manual that corresponds to your MySQL server version for the right syntax to use near",
         "检查手册对应于你的MySQL服务器版本附近使用正确的语法"_gbk},
        {"check the manual that corresponds to your MariaDB server version for the right syntax to use near",
         "检查手册对应于你的MySQL服务器版本附近使用正确的语法"_gbk},
        {"Unknown table", "未知的表"_gbk},
        {"already exists", "已经存在"_gbk},
        {"Duplicate entry", "重复的条目"_gbk},
        {"Column count doesn't match", "列数不匹配"_gbk},
        {"Multiple primary key defined", "多个主键定义"_gbk},
        {"Duplicate column name", "重复的列名"_gbk},
        {"Lost connection to MySQL server during query", "失去了连接到MySQL服务器中查询"_gbk},
        {"Lost connection to server during query", "失去了连接到MySQL服务器中查询"_gbk},
        {"Query execution was interrupted", "查询已被取消"_gbk},
    }};
    return table;
}

} // namespace

Text translateServerError(const Text &text)
{
    Text result = text;
    for (const ErrorPhrase &phrase : errorPhraseTable())
        result = replaceText(result, phrase.english, phrase.chinese);
    return result;
}

Text serverErrorText(int connection, bool translate)
{
    Text text;
    lastError(connection, text);
    return translate ? translateServerError(text) : text;
}

} // namespace morvane
