// Reads .rpt report templates (XML) into the template model. The reader is
// strict: an unknown element or attribute is an error naming the line, so a
// typing mistake in a template shows when it opens rather than on paper.
#include "reports/engine/template_model.h"

#include "data/dberror.h"

#include <QFile>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include <map>

namespace quillon::reports {

namespace {

struct XmlNode {
    QString name;
    std::vector<std::pair<QString, QString>> attrs;
    QString text;
    int line = 0;
    std::vector<XmlNode> children;

    bool has(const char* key) const
    {
        for (const auto& a : attrs) if (a.first == QLatin1String(key)) return true;
        return false;
    }
    QString attr(const char* key, const QString& def = QString()) const
    {
        for (const auto& a : attrs) if (a.first == QLatin1String(key)) return a.second;
        return def;
    }
};

class Reader {
public:
    explicit Reader(QString path) : m_path(std::move(path)) {}

    [[noreturn]] void fail(int line, const QString& what) const
    {
        throw DbError(ErrorNumber::ReportTemplate,
                      QStringLiteral("Report template %1, line %2: %3").arg(m_path).arg(line).arg(what),
                      QStringLiteral("Report engine"));
    }

    XmlNode parseXml(const QByteArray& data)
    {
        QXmlStreamReader xml(data);
        std::vector<XmlNode> stack;
        XmlNode root;
        bool haveRoot = false;
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isStartElement()) {
                XmlNode n;
                n.name = xml.name().toString();
                n.line = int(xml.lineNumber());
                for (const auto& a : xml.attributes()) n.attrs.emplace_back(a.name().toString(), a.value().toString());
                stack.push_back(std::move(n));
            } else if (xml.isCharacters() && !stack.empty()) {
                stack.back().text += xml.text();
            } else if (xml.isEndElement()) {
                XmlNode n = std::move(stack.back());
                stack.pop_back();
                if (stack.empty()) { root = std::move(n); haveRoot = true; }
                else stack.back().children.push_back(std::move(n));
            }
        }
        if (xml.hasError()) fail(int(xml.lineNumber()), QStringLiteral("not well-formed XML: ") + xml.errorString());
        if (!haveRoot || root.name != QLatin1String("Report")) fail(1, QStringLiteral("the root element must be <Report>"));
        return root;
    }

    void allow(const XmlNode& n, std::initializer_list<const char*> keys) const
    {
        for (const auto& a : n.attrs) {
            bool ok = false;
            for (const char* k : keys) if (a.first == QLatin1String(k)) { ok = true; break; }
            if (!ok) fail(n.line, QStringLiteral("<%1> has no attribute \"%2\"").arg(n.name, a.first));
        }
    }

    double length(const XmlNode& n, const char* key, double def) const
    {
        if (!n.has(key)) return def;
        return parseLength(n, n.attr(key));
    }

    double parseLength(const XmlNode& n, QString s) const
    {
        s = s.trimmed().toLower();
        double factor = 1;
        if (s.endsWith(QLatin1String("in"))) { factor = 72; s.chop(2); }
        else if (s.endsWith(QLatin1String("mm"))) { factor = 72 / 25.4; s.chop(2); }
        else if (s.endsWith(QLatin1String("cm"))) { factor = 72 / 2.54; s.chop(2); }
        else if (s.endsWith(QLatin1String("pt"))) { s.chop(2); }
        bool ok = false;
        const double v = s.trimmed().toDouble(&ok);
        if (!ok) fail(n.line, QStringLiteral("\"%1\" is not a length (points, or with in, mm, cm)").arg(s));
        return v * factor;
    }

    bool boolean(const XmlNode& n, const char* key, bool def) const
    {
        if (!n.has(key)) return def;
        const QString v = n.attr(key).trimmed().toLower();
        if (v == QLatin1String("true") || v == QLatin1String("yes") || v == QLatin1String("1")) return true;
        if (v == QLatin1String("false") || v == QLatin1String("no") || v == QLatin1String("0")) return false;
        fail(n.line, QStringLiteral("%1=\"%2\" must be true or false").arg(QLatin1String(key), v));
    }

    int integer(const XmlNode& n, const char* key, int def, int min) const
    {
        if (!n.has(key)) return def;
        bool ok = false;
        const int v = n.attr(key).trimmed().toInt(&ok);
        if (!ok || v < min) fail(n.line, QStringLiteral("%1 must be a whole number of at least %2").arg(QLatin1String(key)).arg(min));
        return v;
    }

    QRgb color(const XmlNode& n, const char* key, QRgb def) const
    {
        if (!n.has(key)) return def;
        const QColor c = QColor::fromString(n.attr(key).trimmed());
        if (!c.isValid()) fail(n.line, QStringLiteral("\"%1\" is not a colour").arg(n.attr(key)));
        return c.rgba();
    }

    std::shared_ptr<ReportTemplate> read(const QByteArray& data)
    {
        const XmlNode root = parseXml(data);
        allow(root, {"name", "title", "version"});
        auto t = std::make_shared<ReportTemplate>();
        t->name = root.attr("name");
        t->title = root.attr("title");
        t->path = m_path;
        m_root = t.get();
        Style def;
        def.fontId = FontLibrary::instance().fontId({});
        m_styles[QStringLiteral("default")] = def;
        readReportBody(root, *t, false);
        return t;
    }

private:
    struct Style {
        FontLibrary::Family family = FontLibrary::Sans;
        bool bold = false, italic = false;
        int fontId = 0;
        double size = 9;
        QRgb color = 0xff000000;
        Align align = Align::Left;
    };

    class BandBinder : public Binder {
    public:
        BandBinder(Reader& r, ReportTemplate& t, const BandDef& band, int line)
            : m_r(r), m_t(t), m_band(band), m_line(line) {}

        int fieldSlot(const QString& name) override
        {
            for (int i = 0; i < m_t.fields.size(); ++i)
                if (m_t.fields.at(i).compare(name, Qt::CaseInsensitive) == 0) return i;
            m_t.fields << name;
            return int(m_t.fields.size()) - 1;
        }
        int parameterSlot(const QString& name) override
        {
            const int i = m_r.m_root->parameterIndex(name);
            if (i < 0) m_r.fail(m_line, QStringLiteral("the formula uses {?%1}, which is not a declared parameter").arg(name));
            return i;
        }
        int aggregateSlot(AggregateKind kind, std::shared_ptr<const ExprNode> arg, const QString& scope) override
        {
            return aggregateSlot(kind, std::move(arg), scope, QString());
        }

        int aggregateSlot(AggregateKind kind, std::shared_ptr<const ExprNode> arg, const QString& scope,
                          const QString& eachGroup) override
        {
            AggregateDef a;
            a.kind = kind;
            a.arg = std::move(arg);
            const QString s = scope.trimmed().toLower();
            const int innermost = int(m_t.groups.size()) - 1;
            auto groupScope = [&](int g) {
                if (g < 0) a.scope = AggregateScope::Report;
                else { a.scope = AggregateScope::Group; a.group = g; }
            };
            if (s.isEmpty() || s == QLatin1String("group")) {
                switch (m_band.kind) {
                case BandKind::ReportHeader: case BandKind::ReportFooter:
                    if (s.isEmpty()) a.scope = AggregateScope::Report; else groupScope(innermost);
                    break;
                case BandKind::PageHeader: case BandKind::PageFooter:
                    if (s.isEmpty()) a.scope = AggregateScope::Page; else groupScope(innermost);
                    break;
                case BandKind::GroupHeader: case BandKind::GroupFooter: groupScope(m_band.group); break;
                case BandKind::Detail: groupScope(innermost); break;
                }
            } else if (s == QLatin1String("report")) {
                a.scope = AggregateScope::Report;
            } else if (s == QLatin1String("page")) {
                a.scope = m_t.isSubreport ? AggregateScope::Report : AggregateScope::Page;
            } else if (s == QLatin1String("column")) {
                a.scope = m_t.isSubreport ? AggregateScope::Report : AggregateScope::Column;
            } else {
                int found = -1;
                for (int g = 0; g < int(m_t.groups.size()); ++g)
                    if (m_t.groups[g].name.compare(scope.trimmed(), Qt::CaseInsensitive) == 0) found = g;
                if (found < 0) m_r.fail(m_line, QStringLiteral("no group named \"%1\" for a running total").arg(scope));
                groupScope(found);
            }
            if (!eachGroup.trimmed().isEmpty()) {
                for (int g = 0; g < int(m_t.groups.size()); ++g)
                    if (m_t.groups[g].name.compare(eachGroup.trimmed(), Qt::CaseInsensitive) == 0) a.eachGroup = g;
                if (a.eachGroup < 0)
                    m_r.fail(m_line, QStringLiteral("no group named \"%1\" to take a running total once per").arg(eachGroup));
                if (a.scope == AggregateScope::Page || a.scope == AggregateScope::Column)
                    m_r.fail(m_line, QStringLiteral("a total taken once per group counts over the report or a group, not a page or column"));
                if (a.scope == AggregateScope::Group && a.group >= a.eachGroup)
                    m_r.fail(m_line, QStringLiteral("the group \"%1\" must lie inside the group the total covers").arg(eachGroup));
            }
            if (a.scope == AggregateScope::Page || a.scope == AggregateScope::Column) pageScope = true;
            m_t.aggregates.push_back(std::move(a));
            return int(m_t.aggregates.size()) - 1;
        }

        bool pageScope = false;

    private:
        Reader& m_r;
        ReportTemplate& m_t;
        const BandDef& m_band;
        int m_line;
    };

    Expression compile(ReportTemplate& t, BandDef& band, const XmlNode& n, const QString& text)
    {
        BandBinder binder(*this, t, band, n.line);
        Expression e;
        try {
            e = Expression::compile(text, binder);
        } catch (const DbError& err) {
            fail(n.line, err.description());
        }
        if (binder.pageScope) band.usesPageScope = true;
        return e;
    }

    void readPage(const XmlNode& n, ReportTemplate& t)
    {
        allow(n, {"size", "orientation", "width", "height", "margin", "marginLeft", "marginTop", "marginRight", "marginBottom"});
        const QString size = n.attr("size", QStringLiteral("Letter")).trimmed().toLower();
        if (size == QLatin1String("letter")) { t.pageWidth = 612; t.pageHeight = 792; }
        else if (size == QLatin1String("legal")) { t.pageWidth = 612; t.pageHeight = 1008; }
        else if (size == QLatin1String("a4")) { t.pageWidth = 595.28; t.pageHeight = 841.89; }
        else fail(n.line, QStringLiteral("page size \"%1\" is not Letter, Legal or A4").arg(n.attr("size")));
        t.pageWidth = length(n, "width", t.pageWidth);
        t.pageHeight = length(n, "height", t.pageHeight);
        const QString orient = n.attr("orientation", QStringLiteral("portrait")).trimmed().toLower();
        if (orient == QLatin1String("landscape")) std::swap(t.pageWidth, t.pageHeight);
        else if (orient != QLatin1String("portrait")) fail(n.line, QStringLiteral("orientation must be portrait or landscape"));
        const double m = length(n, "margin", 36);
        t.marginLeft = length(n, "marginLeft", m);
        t.marginTop = length(n, "marginTop", m);
        t.marginRight = length(n, "marginRight", m);
        t.marginBottom = length(n, "marginBottom", m);
        if (t.bodyWidth() <= 0 || t.pageHeight - t.marginTop - t.marginBottom <= 0)
            fail(n.line, QStringLiteral("the margins leave no room on the page"));
    }

    Style styleFrom(const XmlNode& n, const Style& base)
    {
        Style s = base;
        if (n.has("font") && !FontLibrary::parseFamily(n.attr("font"), &s.family))
            fail(n.line, QStringLiteral("font \"%1\" is not Sans, Serif or Mono").arg(n.attr("font")));
        s.bold = boolean(n, "bold", s.bold);
        s.italic = boolean(n, "italic", s.italic);
        if (n.has("size")) {
            s.size = parseLength(n, n.attr("size"));
            if (s.size <= 0) fail(n.line, QStringLiteral("the font size must be above 0"));
        }
        s.color = color(n, "color", s.color);
        if (n.has("align")) s.align = alignment(n);
        try {
            s.fontId = FontLibrary::instance().fontId({s.family, s.bold, s.italic});
        } catch (const DbError& e) {
            fail(n.line, e.description());
        }
        return s;
    }

    Align alignment(const XmlNode& n) const
    {
        const QString a = n.attr("align").trimmed().toLower();
        if (a == QLatin1String("left")) return Align::Left;
        if (a == QLatin1String("center") || a == QLatin1String("centre")) return Align::Center;
        if (a == QLatin1String("right")) return Align::Right;
        fail(n.line, QStringLiteral("align must be left, center or right"));
    }

    void readStyle(const XmlNode& n)
    {
        allow(n, {"name", "font", "size", "bold", "italic", "color", "align"});
        const QString name = n.attr("name").trimmed().toLower();
        if (name.isEmpty()) fail(n.line, QStringLiteral("a <Style> needs a name"));
        m_styles[name] = styleFrom(n, m_styles[QStringLiteral("default")]);
    }

    void readParameter(const XmlNode& n, ReportTemplate& t)
    {
        allow(n, {"name", "type", "default"});
        ParameterDef p;
        p.name = n.attr("name").trimmed();
        if (p.name.isEmpty()) fail(n.line, QStringLiteral("a <Parameter> needs a name"));
        if (t.parameterIndex(p.name) >= 0) fail(n.line, QStringLiteral("parameter %1 is declared twice").arg(p.name));
        const QString type = n.attr("type", QStringLiteral("text")).trimmed().toLower();
        if (type == QLatin1String("date")) p.type = Value::Type::Date;
        else if (type == QLatin1String("text") || type == QLatin1String("string")) p.type = Value::Type::Text;
        else if (type == QLatin1String("double") || type == QLatin1String("number")) p.type = Value::Type::Double;
        else if (type == QLatin1String("boolean") || type == QLatin1String("bool")) p.type = Value::Type::Bool;
        else fail(n.line, QStringLiteral("parameter type \"%1\" is not date, text, double or boolean").arg(type));
        if (n.has("default")) {
            try {
                p.defaultValue = convertParameterValue(p, Value(n.attr("default")));
            } catch (const DbError& e) {
                fail(n.line, e.description());
            }
        }
        t.parameters.push_back(std::move(p));
    }

    void readColumns(const XmlNode& n, ReportTemplate& t)
    {
        allow(n, {"count", "width", "gap", "maxRows", "height"});
        t.columns.count = integer(n, "count", 1, 1);
        t.columns.gap = length(n, "gap", 0);
        t.columns.maxRows = integer(n, "maxRows", 0, 0);
        t.columns.height = length(n, "height", 0);
        t.columns.width = length(n, "width", 0);
        if (t.columns.width <= 0) t.columns.width = (t.bodyWidth() - t.columns.gap * (t.columns.count - 1)) / t.columns.count;
        m_hasColumns = true;
    }

    static Value inferValue(const QString& s)
    {
        static const QRegularExpression intRe(QStringLiteral("^-?\\d{1,15}$"));
        static const QRegularExpression dblRe(QStringLiteral("^-?\\d+\\.\\d+$"));
        static const QRegularExpression dateRe(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
        if (intRe.match(s).hasMatch()) return Value(std::int64_t(s.toLongLong()));
        if (dblRe.match(s).hasMatch()) return Value(s.toDouble());
        if (dateRe.match(s).hasMatch()) {
            const QDate d = QDate::fromString(s, Qt::ISODate);
            if (d.isValid()) return Value(d);
        }
        return Value(s);
    }

    void readSavedData(const XmlNode& n, ReportTemplate& t)
    {
        allow(n, {"table"});
        SavedTable st;
        st.table = integer(n, "table", 1, 1);
        std::vector<std::map<QString, QString>> rows;
        for (const XmlNode& r : n.children) {
            if (r.name != QLatin1String("Row")) fail(r.line, QStringLiteral("<SavedData> holds only <Row> elements"));
            std::map<QString, QString> row;
            for (const auto& a : r.attrs) {
                if (!st.fields.contains(a.first)) st.fields << a.first;
                row[a.first] = a.second;
            }
            rows.push_back(std::move(row));
        }
        for (const auto& r : rows) {
            std::vector<Value> values;
            for (const QString& f : st.fields) {
                const auto it = r.find(f);
                values.push_back(it == r.end() ? Value() : inferValue(it->second));
            }
            st.rows.push_back(std::move(values));
        }
        t.savedData.push_back(std::move(st));
    }

    static bool isBandName(const QString& name)
    {
        static const char* const names[] = {"ReportHeader", "PageHeader", "Detail", "PageFooter", "ReportFooter"};
        for (const char* b : names) if (name == QLatin1String(b)) return true;
        return false;
    }

    void readReportBody(const XmlNode& root, ReportTemplate& t, bool subreport)
    {
        t.isSubreport = subreport;
        m_hasColumns = false;
        std::vector<const XmlNode*> sortNodes;
        // Pass 1: page, styles, parameters, columns and group declarations, so
        // that formulas may name any group and any parameter.
        for (const XmlNode& c : root.children) {
            if (c.name == QLatin1String("Page")) {
                if (subreport) fail(c.line, QStringLiteral("a subreport has no <Page> of its own"));
                readPage(c, t);
            }
        }
        for (int pass = 0; pass < 2; ++pass) {
            // The default style first: the others start from it.
            for (const XmlNode& c : root.children)
                if (c.name == QLatin1String("Style")
                    && (c.attr("name").trimmed().compare(QLatin1String("default"), Qt::CaseInsensitive) == 0) == (pass == 0))
                    readStyle(c);
        }
        {
            const Style& def = m_styles[QStringLiteral("default")];
            t.defaultFontId = def.fontId;
            t.defaultFontSize = def.size;
        }
        for (const XmlNode& c : root.children) {
            if (c.name == QLatin1String("Page") || c.name == QLatin1String("Style")) {
                continue;
            } else if (c.name == QLatin1String("Parameter")) {
                if (subreport) fail(c.line, QStringLiteral("parameters are declared on the main report"));
                readParameter(c, t);
            } else if (c.name == QLatin1String("Columns")) {
                if (subreport) fail(c.line, QStringLiteral("a subreport has no columns"));
                readColumns(c, t);
            } else if (c.name == QLatin1String("Group")) {
                allow(c, {"name", "on", "keepTogether", "newPage", "newColumn", "repeatHeader", "resetPageNumber"});
                GroupDef g;
                g.name = c.attr("name").trimmed();
                if (g.name.isEmpty()) g.name = QStringLiteral("Group%1").arg(t.groups.size() + 1);
                for (const QString& f : c.attr("on").split(QLatin1Char(','), Qt::SkipEmptyParts))
                    if (!f.trimmed().isEmpty()) g.fields << f.trimmed();
                if (g.fields.isEmpty()) fail(c.line, QStringLiteral("<Group> needs on=\"Field[, Field...]\""));
                g.keepTogether = boolean(c, "keepTogether", false);
                g.newPage = boolean(c, "newPage", false);
                g.newColumn = boolean(c, "newColumn", false);
                g.repeatHeader = boolean(c, "repeatHeader", false);
                g.resetPageNumber = boolean(c, "resetPageNumber", false);
                if (subreport && (g.newPage || g.newColumn || g.resetPageNumber))
                    fail(c.line, QStringLiteral("groups of a subreport cannot break pages or columns"));
                if (g.resetPageNumber && !g.newPage)
                    fail(c.line, QStringLiteral("resetPageNumber needs newPage: the numbering restarts on the group's first page"));
                if (g.newColumn && !declaresColumns(root))
                    fail(c.line, QStringLiteral("newColumn needs a <Columns> declaration"));
                t.groups.push_back(std::move(g));
            } else if (c.name == QLatin1String("SavedData")) {
                readSavedData(c, t);
            } else if (c.name == QLatin1String("Sort")) {
                allow(c, {"by"});
                sortNodes.push_back(&c);
            } else if (!isBandName(c.name)) {
                fail(c.line, QStringLiteral("unknown element <%1>").arg(c.name));
            }
        }
        // Groups from the first one that breaks columns inwards lay out in the columns.
        int firstColumnGroup = int(t.groups.size());
        for (int g = 0; g < int(t.groups.size()); ++g)
            if (t.groups[g].newColumn) { firstColumnGroup = g; break; }

        // Pass 2: the bands, numbered in file order unless numbered explicitly.
        int counter = 0;
        std::map<int, int> numbers;
        int groupIndex = 0;
        auto addBand = [&](const XmlNode& c, BandKind kind, int group) {
            ++counter;
            BandDef b;
            b.kind = kind;
            b.group = group;
            b.number = integer(c, "section", counter, 1);
            if (numbers.count(b.number))
                fail(c.line, QStringLiteral("section number %1 is used twice").arg(b.number));
            numbers[b.number] = 1;
            b.inColumn = m_hasColumns && (kind == BandKind::Detail
                                          || ((kind == BandKind::GroupHeader || kind == BandKind::GroupFooter)
                                              && group >= firstColumnGroup));
            readBand(c, t, b);
            t.bands.push_back(std::move(b));
            return int(t.bands.size()) - 1;
        };
        for (const XmlNode& c : root.children) {
            if (c.name == QLatin1String("Group")) {
                const int g = groupIndex++;
                for (const XmlNode& part : c.children) {
                    if (part.name == QLatin1String("Header")) t.groups[g].headers.push_back(addBand(part, BandKind::GroupHeader, g));
                    else if (part.name == QLatin1String("Footer")) t.groups[g].footers.push_back(addBand(part, BandKind::GroupFooter, g));
                    else fail(part.line, QStringLiteral("<Group> holds only <Header> and <Footer> bands"));
                }
                continue;
            }
            BandKind kind;
            if (c.name == QLatin1String("ReportHeader")) kind = BandKind::ReportHeader;
            else if (c.name == QLatin1String("PageHeader")) kind = BandKind::PageHeader;
            else if (c.name == QLatin1String("Detail")) kind = BandKind::Detail;
            else if (c.name == QLatin1String("PageFooter")) kind = BandKind::PageFooter;
            else if (c.name == QLatin1String("ReportFooter")) kind = BandKind::ReportFooter;
            else continue;
            if (subreport && (kind == BandKind::PageHeader || kind == BandKind::PageFooter))
                fail(c.line, QStringLiteral("a subreport has no page header or footer"));
            addBand(c, kind, -1);
        }
        const BandDef anyBand;
        for (GroupDef& g : t.groups) {
            BandBinder binder(*this, t, anyBand, root.line);
            for (const QString& f : g.fields) g.fieldSlots.push_back(binder.fieldSlot(f));
        }
        if (sortNodes.size() > 1) fail(sortNodes[1]->line, QStringLiteral("a report has one <Sort>"));
        for (const XmlNode* n : sortNodes) {
            // by="Field [desc], Field [asc], ..."
            BandBinder binder(*this, t, anyBand, n->line);
            for (const QString& part : n->attr("by").split(QLatin1Char(','), Qt::SkipEmptyParts)) {
                QStringList words = part.simplified().split(QLatin1Char(' '));
                SortKey k;
                if (words.size() == 2 && words[1].compare(QLatin1String("desc"), Qt::CaseInsensitive) == 0) k.descending = true;
                else if (words.size() == 2 && words[1].compare(QLatin1String("asc"), Qt::CaseInsensitive) == 0) k.descending = false;
                else if (words.size() != 1 || words[0].isEmpty())
                    fail(n->line, QStringLiteral("<Sort> wants by=\"Field [desc], ...\", not \"%1\"").arg(part.trimmed()));
                k.slot = binder.fieldSlot(words[0]);
                t.sortKeys.push_back(k);
            }
            if (t.sortKeys.empty()) fail(n->line, QStringLiteral("<Sort> needs by=\"Field [desc], ...\""));
        }
    }

    static bool declaresColumns(const XmlNode& root)
    {
        for (const XmlNode& c : root.children) if (c.name == QLatin1String("Columns")) return true;
        return false;
    }

    void readBand(const XmlNode& n, ReportTemplate& t, BandDef& b)
    {
        allow(n, {"height", "section", "visible", "atColumnBottom", "newPageAfter"});
        b.height = length(n, "height", 0);
        b.newPageAfter = boolean(n, "newPageAfter", false);
        b.atColumnBottom = boolean(n, "atColumnBottom", false);
        if (b.atColumnBottom && !(b.kind == BandKind::GroupFooter && b.inColumn))
            fail(n.line, QStringLiteral("atColumnBottom is for footers of groups laid out in columns"));
        if (n.has("visible")) b.visible = compile(t, b, n, n.attr("visible"));
        if (b.visible.usesPageNumbers())
            fail(n.line, QStringLiteral("a band's visibility cannot depend on page numbers; set it on its elements"));
        const double bandWidth = b.inColumn ? t.columns.width : t.bodyWidth();
        for (const XmlNode& e : n.children) b.elements.push_back(readElement(e, t, b, bandWidth));
        for (const ElementDef& e : b.elements) {
            const double bottom = e.kind == ElementDef::Line ? std::max(e.y, e.y2) : e.y + e.height;
            if (bottom > b.height && !e.background && e.angle == 0) b.height = bottom;
        }
    }

    ElementDef readElement(const XmlNode& n, ReportTemplate& t, BandDef& band, double bandWidth)
    {
        ElementDef e;
        const QString kind = n.name;
        if (kind == QLatin1String("Text")) e.kind = ElementDef::Text;
        else if (kind == QLatin1String("Field")) e.kind = ElementDef::Field;
        else if (kind == QLatin1String("Line")) e.kind = ElementDef::Line;
        else if (kind == QLatin1String("Box")) e.kind = ElementDef::Box;
        else if (kind == QLatin1String("Check")) e.kind = ElementDef::Check;
        else if (kind == QLatin1String("Subreport")) e.kind = ElementDef::Subreport;
        else fail(n.line, QStringLiteral("unknown element <%1> in a band").arg(kind));

        switch (e.kind) {
        case ElementDef::Text:
        case ElementDef::Field:
            allow(n, {"name", "x", "y", "width", "height", "style", "font", "size", "bold", "italic", "color", "align",
                      "valign", "wrap", "canGrow", "angle", "background", "visible", "expr", "format", "nullText",
                      "fit", "minSize"});
            break;
        case ElementDef::Line:
            allow(n, {"name", "x1", "y1", "x2", "y2", "lineWidth", "color", "visible", "background"});
            break;
        case ElementDef::Box:
            allow(n, {"name", "x", "y", "width", "height", "lineWidth", "color", "fill", "visible", "background"});
            break;
        case ElementDef::Check:
            allow(n, {"name", "x", "y", "size", "expr", "mark", "box", "lineWidth", "color", "visible"});
            break;
        case ElementDef::Subreport:
            break;  // attributes checked in readSubreport
        }
        e.name = n.attr("name").trimmed();
        if (n.has("visible")) e.visible = compile(t, band, n, n.attr("visible"));
        e.background = boolean(n, "background", false);

        if (e.kind == ElementDef::Text || e.kind == ElementDef::Field) {
            Style base = m_styles[QStringLiteral("default")];
            if (n.has("style")) {
                const auto it = m_styles.find(n.attr("style").trimmed().toLower());
                if (it == m_styles.end()) fail(n.line, QStringLiteral("no style named \"%1\"").arg(n.attr("style")));
                base = it->second;
            }
            const Style s = styleFrom(n, base);
            e.fontId = s.fontId;
            e.fontSize = s.size;
            e.color = s.color;
            e.align = s.align;
            const QString va = n.attr("valign", QStringLiteral("top")).trimmed().toLower();
            if (va == QLatin1String("top")) e.valign = VAlign::Top;
            else if (va == QLatin1String("middle") || va == QLatin1String("center")) e.valign = VAlign::Middle;
            else if (va == QLatin1String("bottom")) e.valign = VAlign::Bottom;
            else fail(n.line, QStringLiteral("valign must be top, middle or bottom"));
            e.x = length(n, "x", 0);
            e.y = length(n, "y", 0);
            e.width = length(n, "width", std::max(0.0, bandWidth - e.x));
            e.height = length(n, "height", FontLibrary::instance().face(e.fontId).lineHeight(e.fontSize));
            e.wrap = boolean(n, "wrap", false);
            e.canGrow = boolean(n, "canGrow", false);
            if (e.canGrow) e.wrap = true;
            const QString fit = n.attr("fit", QStringLiteral("shrink")).trimmed().toLower();
            if (fit == QLatin1String("shrink")) e.fit = ElementDef::Fit::Shrink;
            else if (fit == QLatin1String("cut")) e.fit = ElementDef::Fit::Cut;
            else fail(n.line, QStringLiteral("fit must be shrink or cut"));
            e.minSize = length(n, "minSize", 0);
            e.angle = n.has("angle") ? n.attr("angle").toDouble() : 0;
            if (e.kind == ElementDef::Text) {
                if (n.has("expr") || n.has("format") || n.has("nullText"))
                    fail(n.line, QStringLiteral("<Text> is static; use <Field expr=\"...\"> for formulas"));
                e.text = n.text.trimmed();
                e.expr = Expression::constant(Value(e.text));
            } else {
                if (!n.has("expr")) fail(n.line, QStringLiteral("<Field> needs expr=\"...\""));
                e.expr = compile(t, band, n, n.attr("expr"));
                e.format = DisplayFormat(n.attr("format"));
                e.nullText = n.attr("nullText");
            }
            if (e.deferred() && e.canGrow)
                fail(n.line, QStringLiteral("a field showing page numbers cannot grow"));
        } else if (e.kind == ElementDef::Line) {
            e.x = length(n, "x1", 0);
            e.y = length(n, "y1", 0);
            e.x2 = length(n, "x2", e.x);
            e.y2 = length(n, "y2", e.y);
            e.lineWidth = length(n, "lineWidth", 0.5);
            e.color = color(n, "color", 0xff000000);
        } else if (e.kind == ElementDef::Box) {
            e.x = length(n, "x", 0);
            e.y = length(n, "y", 0);
            e.width = length(n, "width", 0);
            e.height = length(n, "height", 0);
            e.lineWidth = length(n, "lineWidth", 0.5);
            e.color = color(n, "color", 0xff000000);
            if (n.has("fill") && n.attr("fill").trimmed().toLower() != QLatin1String("none")) {
                e.hasFill = true;
                e.fill = color(n, "fill", 0xffffffff);
            }
        } else if (e.kind == ElementDef::Check) {
            e.x = length(n, "x", 0);
            e.y = length(n, "y", 0);
            e.width = e.height = length(n, "size", 8);
            if (!n.has("expr")) fail(n.line, QStringLiteral("<Check> needs expr=\"...\""));
            e.expr = compile(t, band, n, n.attr("expr"));
            const QString mark = n.attr("mark", QStringLiteral("check")).trimmed().toLower();
            if (mark == QLatin1String("cross") || mark == QLatin1String("x")) e.cross = true;
            else if (mark != QLatin1String("check")) fail(n.line, QStringLiteral("mark must be check or cross"));
            e.checkBox = boolean(n, "box", true);
            e.lineWidth = length(n, "lineWidth", 0.75);
            e.color = color(n, "color", 0xff000000);
        } else {
            readSubreport(n, t, band, e, bandWidth);
        }
        return e;
    }

    void readSubreport(const XmlNode& n, ReportTemplate& t, BandDef& band, ElementDef& e, double bandWidth)
    {
        allow(n, {"name", "x", "y", "width", "height", "link", "suppressIfEmpty", "visible", "data"});
        if (t.isSubreport) fail(n.line, QStringLiteral("a subreport cannot hold another subreport"));
        if (band.kind == BandKind::PageHeader || band.kind == BandKind::PageFooter)
            fail(n.line, QStringLiteral("a subreport cannot sit in a page header or footer"));
        e.name = n.attr("name").trimmed();
        if (e.name.isEmpty()) fail(n.line, QStringLiteral("a <Subreport> needs a name"));
        for (const SubreportDef& s : t.subreports)
            if (s.name.compare(e.name, Qt::CaseInsensitive) == 0)
                fail(n.line, QStringLiteral("two subreports are named %1").arg(e.name));
        e.x = length(n, "x", 0);
        e.y = length(n, "y", 0);
        e.width = length(n, "width", std::max(0.0, bandWidth - e.x));
        e.height = length(n, "height", 0);

        SubreportDef sd;
        sd.name = e.name;
        sd.suppressIfEmpty = boolean(n, "suppressIfEmpty", false);
        const QString source = n.attr("data", QStringLiteral("own")).trimmed().toLower();
        if (source == QLatin1String("main")) sd.mainData = true;
        else if (source != QLatin1String("own")) fail(n.line, QStringLiteral("data must be own or main"));
        sd.report = std::make_shared<ReportTemplate>();
        sd.report->name = e.name;
        sd.report->path = t.path;
        sd.report->pageWidth = e.width;
        sd.report->marginLeft = sd.report->marginRight = 0;
        sd.report->pageHeight = t.pageHeight;
        sd.report->marginTop = sd.report->marginBottom = 0;
        const bool hadColumns = m_hasColumns;
        const auto savedStyles = m_styles;
        readReportBody(n, *sd.report, true);
        m_styles = savedStyles;
        m_hasColumns = hadColumns;

        // link="SubField=MainField, ..." or link="Field" when both sides share the name.
        BandBinder binder(*this, t, band, n.line);
        for (const QString& pair : n.attr("link").split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            const QStringList sides = pair.split(QLatin1Char('='));
            const QString sub = sides.value(0).trimmed();
            const QString main = (sides.size() > 1 ? sides.value(1) : sides.value(0)).trimmed();
            if (sub.isEmpty() || main.isEmpty() || sides.size() > 2)
                fail(n.line, QStringLiteral("link must read \"SubField=MainField, ...\""));
            sd.linkFields << sub;
            sd.parentSlots.push_back(binder.fieldSlot(main));
        }
        t.subreports.push_back(std::move(sd));
        e.subreport = int(t.subreports.size()) - 1;
    }

    QString m_path;
    ReportTemplate* m_root = nullptr;
    std::map<QString, Style> m_styles;
    bool m_hasColumns = false;
};

}  // namespace

int ReportTemplate::parameterIndex(const QString& name) const
{
    for (int i = 0; i < int(parameters.size()); ++i)
        if (parameters[i].name.compare(name.trimmed(), Qt::CaseInsensitive) == 0) return i;
    return -1;
}

const BandDef* ReportTemplate::bandByNumber(int number) const
{
    for (const BandDef& b : bands) if (b.number == number) return &b;
    return nullptr;
}

std::vector<int> ReportTemplate::bandsOf(BandKind kind) const
{
    std::vector<int> out;
    for (int i = 0; i < int(bands.size()); ++i) if (bands[i].kind == kind) out.push_back(i);
    return out;
}

std::shared_ptr<ReportTemplate> parseTemplate(const QByteArray& xml, const QString& pathForMessages)
{
    Reader r(pathForMessages);
    return r.read(xml);
}

std::shared_ptr<ReportTemplate> readTemplate(const QString& path)
{
    QFile f(path);
    if (!f.exists())
        throw DbError(ErrorNumber::ReportTemplate, QStringLiteral("The report template %1 does not exist").arg(path),
                      QStringLiteral("Report engine"));
    if (!f.open(QIODevice::ReadOnly))
        throw DbError(ErrorNumber::ReportTemplate,
                      QStringLiteral("The report template %1 cannot be read: %2").arg(path, f.errorString()),
                      QStringLiteral("Report engine"));
    return parseTemplate(f.readAll(), path);
}

Value convertParameterValue(const ParameterDef& p, const Value& v)
{
    if (v.isNull()) return v;
    auto refuse = [&](const char* kind) -> DbError {
        return DbError(ErrorNumber::ReportParameter,
                       QStringLiteral("The value \"%1\" is not a %2 for the parameter %3").arg(v.toString(), QLatin1String(kind), p.name),
                       QStringLiteral("Report engine"));
    };
    switch (p.type) {
    case Value::Type::Date: {
        if (v.type() == Value::Type::Date) return v;
        if (v.type() == Value::Type::DateTime || v.type() == Value::Type::Text) {
            const QDate d = v.toDate();
            if (!d.isValid()) throw refuse("date");
            return Value(d);
        }
        throw refuse("date");
    }
    case Value::Type::Double: {
        if (ops::isNumeric(v)) return Value(v.toDouble());
        if (v.type() == Value::Type::Text) {
            bool ok = false;
            const QString s = v.toString().trimmed();
            const Currency c = Currency::fromString(s, &ok);
            if (ok) return Value(c.toDouble());
            const double d = s.toDouble(&ok);
            if (ok) return Value(d);
        }
        throw refuse("number");
    }
    case Value::Type::Bool: {
        if (v.type() == Value::Type::Bool) return v;
        if (ops::isNumeric(v)) return Value(v.toDouble() != 0);
        const QString s = v.toString().trimmed().toLower();
        if (s == QLatin1String("true") || s == QLatin1String("yes") || s == QLatin1String("1")) return Value(true);
        if (s == QLatin1String("false") || s == QLatin1String("no") || s == QLatin1String("0")) return Value(false);
        throw refuse("boolean");
    }
    default:
        return Value(v.toString());
    }
}

}  // namespace quillon::reports
