"""ReportLab side of bench_report_render: the same 40 x 6 table per US Letter
page, laid out by ReportLab's Table, Liberation Sans embedded.

    /usr/bin/python3 report_render_reportlab.py PAGES OUT.pdf
prints: seconds bytes pages
"""
import datetime
import os
import sys
import time

from reportlab.lib.pagesizes import letter
from reportlab.pdfbase import pdfmetrics
from reportlab.pdfbase.ttfonts import TTFont
from reportlab.platypus import PageBreak, SimpleDocTemplate, Table, TableStyle

ROWS_PER_PAGE = 40
FONT_DIR = "/usr/share/fonts/truetype/liberation2"


def raw_row(i):
    # The typed values, as the engine's record set holds them.
    return ("Person %05d" % i, "C-%03d" % (i % 977), datetime.date(2024, 6, 1) + datetime.timedelta(days=i % 30),
            4 + (i % 13) * 0.5, (i % 5000) * 1237 / 10000.0, "Overhead" if i % 3 == 0 else "Crew")


def cells(r):
    # Formatting is part of the work timed, as it is for the engine.
    return [r[0], r[1], r[2].strftime("%m/%d/%Y"), "%.2f" % r[3], "${:,.2f}".format(r[4]), r[5]]


def main():
    pages = int(sys.argv[1])
    out = sys.argv[2]
    pdfmetrics.registerFont(TTFont("LiberationSans", os.path.join(FONT_DIR, "LiberationSans-Regular.ttf")))
    pdfmetrics.registerFont(TTFont("LiberationSans-Bold", os.path.join(FONT_DIR, "LiberationSans-Bold.ttf")))
    rows = [raw_row(i) for i in range(pages * ROWS_PER_PAGE)]
    start = time.perf_counter()
    style = TableStyle([
        ("FONT", (0, 0), (-1, -1), "LiberationSans", 9),
        ("FONT", (0, 0), (-1, 0), "LiberationSans-Bold", 9),
        ("ALIGN", (3, 0), (4, -1), "RIGHT"),
        ("LINEBELOW", (0, 0), (-1, 0), 0.5, (0, 0, 0)),
        ("TOPPADDING", (0, 0), (-1, -1), 2),
        ("BOTTOMPADDING", (0, 0), (-1, -1), 2),
    ])
    head = ["Name", "Request", "Date", "Hours", "Amount", "Kind"]
    widths = [110, 80, 80, 60, 100, 90]
    story = []
    for p in range(pages):
        data = [head] + [cells(rows[p * ROWS_PER_PAGE + i]) for i in range(ROWS_PER_PAGE)]
        story.append(Table(data, colWidths=widths, style=style))
        story.append(PageBreak())
    story.pop()

    def footer(canvas, doc):
        canvas.setFont("LiberationSans", 9)
        canvas.drawCentredString(306, 36, "Page %d of %d" % (doc.page, pages))

    doc = SimpleDocTemplate(out, pagesize=letter, leftMargin=36, rightMargin=36, topMargin=36, bottomMargin=36)
    doc.build(story, onFirstPage=footer, onLaterPages=footer)
    seconds = time.perf_counter() - start
    print("%.6f %d %d" % (seconds, os.path.getsize(out), doc.page))


if __name__ == "__main__":
    main()
