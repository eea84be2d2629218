// No two types of one name: two classes, structs, unions or enums defined
// under one name at namespace scope break the one-definition rule. The
// compiler accepts it when no file sees both, but the linker keeps one copy of
// their inline members (a destructor, say) for both types, and the objects of
// the other type are then destroyed by code written for a different layout.
// The scan reads every header and source file of the program, its tests, tools
// and benchmarks; a type in an anonymous namespace, inside a function or
// inside another type is out of reach of the linker and does not count.

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QStringList>

namespace {

bool IsIdentifierChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

// The code of a file without its comments, the contents of its string and
// character literals, and its preprocessor lines (a macro's body is no
// definition); line breaks are kept.
QString CodeOnly(const QString& text)
{
    QString out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    qsizetype i = 0;
    bool lineStart = true;
    while (i < n) {
        const QChar c = text[i];
        if (lineStart && c == QLatin1Char('#')) {
            // A directive runs to the end of its line and its continuations.
            while (i < n && text[i] != QLatin1Char('\n')) {
                if (text[i] == QLatin1Char('\\') && i + 1 < n && text[i + 1] == QLatin1Char('\n'))
                    ++i;
                ++i;
            }
            continue;
        }
        if (c == QLatin1Char('\n')) {
            lineStart = true;
            out += c;
            ++i;
            continue;
        }
        if (!c.isSpace())
            lineStart = false;
        if (text.mid(i, 2) == QLatin1String("//")) {
            while (i < n && text[i] != QLatin1Char('\n'))
                ++i;
        } else if (text.mid(i, 2) == QLatin1String("/*")) {
            const qsizetype end = text.indexOf(QLatin1String("*/"), i + 2);
            out += QLatin1Char(' ');
            i = end < 0 ? n : end + 2;
        } else if (c == QLatin1Char('R') && i + 1 < n && text[i + 1] == QLatin1Char('"')
                   && (i == 0 || !IsIdentifierChar(text[i - 1]) || QStringLiteral("8LuU").contains(text[i - 1]))) {
            // A raw string: R"delimiter( ... )delimiter"
            const qsizetype open = text.indexOf(QLatin1Char('('), i + 2);
            const QString close = QLatin1Char(')') + text.mid(i + 2, open - i - 2) + QLatin1Char('"');
            const qsizetype end = open < 0 ? -1 : text.indexOf(close, open);
            out += QLatin1String("\"\"");
            i = end < 0 ? n : end + close.size();
        } else if (c == QLatin1Char('\'') && i > 0 && text[i - 1].isDigit()) {
            ++i; // a digit separator (1'000)
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            qsizetype j = i + 1;
            while (j < n && text[j] != c && text[j] != QLatin1Char('\n')) {
                if (text[j] == QLatin1Char('\\'))
                    ++j;
                ++j;
            }
            out += QString(2, c);
            i = j + 1;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

// The types `code` defines at namespace scope outside anonymous namespaces,
// by their names qualified with their namespaces.
QStringList TypesDefined(const QString& code)
{
    static const QRegularExpression tokenPattern(QStringLiteral("[A-Za-z_]\\w*|::|\"\"|\\S"));
    static const QRegularExpression identifier(QStringLiteral("^[A-Za-z_]\\w*$"));
    QStringList tokens;
    for (auto m = tokenPattern.globalMatch(CodeOnly(code)); m.hasNext();)
        tokens << m.next().captured();
    const auto at = [&](qsizetype k) { return k < tokens.size() ? tokens[k] : QString(); };

    enum class Scope { Namespace, Anonymous, Linkage, Other };
    struct Open {
        Scope scope;
        QString name;
    };
    QList<Open> open;
    QStringList types;
    qsizetype i = 0;
    while (i < tokens.size()) {
        const QString& t = tokens[i];
        if (t == QLatin1String("namespace")) {
            qsizetype j = i + 1;
            QStringList name;
            while (j < tokens.size() && at(j) != QLatin1String("{") && at(j) != QLatin1String(";")
                   && at(j) != QLatin1String("=")) {
                if (at(j) != QLatin1String("::"))
                    name << at(j);
                ++j;
            }
            if (at(j) == QLatin1String("{")) {
                open.append({name.isEmpty() ? Scope::Anonymous : Scope::Namespace, name.join(QLatin1String("::"))});
                ++j;
            }
            i = j;
            continue;
        }
        if (t == QLatin1String("extern") && at(i + 1) == QLatin1String("\"\"") && at(i + 2) == QLatin1String("{")) {
            open.append({Scope::Linkage, QString()});
            i += 3;
            continue;
        }
        const QString before = i > 0 ? tokens[i - 1] : QString();
        const bool keyword = t == QLatin1String("class") || t == QLatin1String("struct") || t == QLatin1String("union")
                             || t == QLatin1String("enum");
        // "friend class X", "enum class X", "template <class T, class U>" name no type of their own.
        if (keyword && before != QLatin1String("friend") && before != QLatin1String("enum")
            && before != QLatin1String("<") && before != QLatin1String(",")) {
            qsizetype j = i + 1;
            if (t == QLatin1String("enum") && (at(j) == QLatin1String("class") || at(j) == QLatin1String("struct")))
                ++j;
            while (at(j) == QLatin1String("[")) { // attributes: [[nodiscard]]
                int depth = 0;
                do {
                    if (at(j) == QLatin1String("["))
                        ++depth;
                    else if (at(j) == QLatin1String("]"))
                        --depth;
                    ++j;
                } while (depth > 0 && j < tokens.size());
            }
            if (identifier.match(at(j)).hasMatch() && at(j) != QLatin1String("final")) {
                QString name = at(j++);
                while (at(j) == QLatin1String("::") && identifier.match(at(j + 1)).hasMatch()) {
                    name += QLatin1String("::") + at(j + 1);
                    j += 2;
                }
                if (at(j) == QLatin1String("final"))
                    ++j;
                // A definition goes on to its bases or its body; a declaration,
                // a specialisation (X<int>) or a use (struct X* p) does not.
                if (at(j) == QLatin1String("{") || at(j) == QLatin1String(":")) {
                    while (j < tokens.size() && at(j) != QLatin1String("{") && at(j) != QLatin1String(";"))
                        ++j;
                    if (at(j) == QLatin1String("{")) {
                        bool reachable = true;
                        QStringList qualified;
                        for (const Open& o : std::as_const(open)) {
                            if (o.scope == Scope::Anonymous || o.scope == Scope::Other)
                                reachable = false;
                            else if (o.scope == Scope::Namespace)
                                qualified << o.name;
                        }
                        if (reachable)
                            types << (qualified << name).join(QLatin1String("::"));
                        open.append({Scope::Other, QString()});
                        i = j + 1;
                        continue;
                    }
                }
            }
        }
        if (t == QLatin1String("{"))
            open.append({Scope::Other, QString()});
        else if (t == QLatin1String("}") && !open.isEmpty())
            open.removeLast();
        ++i;
    }
    return types;
}

} // namespace

TEST(TypeNames, TheScanFindsTheDefinitionsAtNamespaceScope)
{
    const struct {
        const char* code;
        QStringList types;
    } cases[] = {
        {"struct A { int x; };\n"
         "namespace n { class B final : public QObject { struct Nested {}; }; enum class C : int { x }; }\n"
         "namespace a::b { union D { int i; }; enum E { e }; }\n"
         "extern \"C\" { struct F { int y; }; }\n"
         "class [[nodiscard]] G : Base<int, long> {};",
         {"A", "n::B", "n::C", "a::b::D", "a::b::E", "F", "G"}},
        {"namespace { struct Hidden {}; }\n"
         "void f() { struct Local { int z; }; auto l = [] { struct InLambda {}; }; }\n"
         "struct Fwd;\nvoid g(struct Fwd* p);\nclass Widget { friend class Other; };\n"
         "template <class T, class U = int> struct Pair {};\ntemplate <> struct Pair<int> {};",
         {"Widget", "Pair"}},
        {"// struct InComment {};\n/* class InBlock {}; */\n"
         "const char* s = \"struct InString {\"; char q = '{'; int big = 1'000;\n"
         "#define DECLARE struct InMacro { \\\n  int m; }\n"
         "const char* r = R\"x(struct InRaw { )x\";\nstruct After {};",
         {"After"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TypesDefined(QString::fromUtf8(c.code)).join(QLatin1Char(' ')).toStdString(),
                  c.types.join(QLatin1Char(' ')).toStdString())
            << c.code;
}

TEST(TypeNames, NoTwoTypesOfTheProgramShareOneName)
{
    const QDir root(QStringLiteral(VOREL_SOURCE_DIR));
    QMap<QString, QStringList> where; // qualified name -> files defining it
    QStringList folders = root.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& folder : std::as_const(folders)) {
        // Build trees (build/, build-sanitize/, ...) hold generated code, not ours.
        if (root.exists(folder + QStringLiteral("/CMakeCache.txt")))
            continue;
        QDirIterator files(root.filePath(folder), {QStringLiteral("*.h"), QStringLiteral("*.cpp")}, QDir::Files,
                           QDirIterator::Subdirectories);
        while (files.hasNext()) {
            const QString path = files.next();
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly)) {
                ADD_FAILURE() << path.toStdString();
                continue;
            }
            for (const QString& type : TypesDefined(QString::fromUtf8(file.readAll())))
                where[type] << root.relativeFilePath(path);
        }
    }
    EXPECT_TRUE(where.contains(QStringLiteral("TfrmKivMain"))) << "the scan missed the main window";
    QStringList twice;
    for (auto it = where.cbegin(); it != where.cend(); ++it) {
        if (it.value().size() > 1)
            twice << it.key() + QStringLiteral(": ") + it.value().join(QStringLiteral(", "));
    }
    EXPECT_TRUE(twice.isEmpty()) << twice.join(QLatin1Char('\n')).toStdString();
}
