#!/usr/bin/env python3
"""Writes the small workbooks the engine tests read, from the Office Open XML parts spelled out
here: a chart sheet between worksheets, a hidden worksheet, a sheet whose A1 is empty, cells
holding a tab and a line break, a sheet with a cell in its last row and column, and a garbage
.xls. Run it in this folder; the files are committed, so the tests never run it.

encrypted.ods and encrypted.xls are hidden-sheet.xlsx stored again by LibreOffice with the
password "secret" (the "Password" property of storeToURL, filters "calc8" and "MS Excel 97");
no script here can write those."""
import zipfile

NS = 'xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" ' \
     'xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"'
REL = 'http://schemas.openxmlformats.org/officeDocument/2006/relationships'
PKG = 'http://schemas.openxmlformats.org/package/2006/relationships'
CT = 'application/vnd.openxmlformats-officedocument.'


def cell(ref, value):
    if isinstance(value, str) and value.startswith('='):
        return f'<c r="{ref}"><f>{value[1:]}</f></c>'
    if isinstance(value, str):
        return f'<c r="{ref}" t="inlineStr"><is><t>{value}</t></is></c>'
    return f'<c r="{ref}"><v>{value}</v></c>'


def worksheet(rows):
    body = ''.join(
        f'<row r="{r}">' + ''.join(cell(ref, v) for ref, v in cells) + '</row>'
        for r, cells in rows)
    return f'<?xml version="1.0" encoding="UTF-8"?><worksheet {NS}><sheetData>{body}</sheetData></worksheet>'


CHART = f'''<?xml version="1.0" encoding="UTF-8"?>
<c:chartSpace xmlns:c="http://schemas.openxmlformats.org/drawingml/2006/chart"
 xmlns:a="http://schemas.openxmlformats.org/drawingml/2006/main"><c:chart><c:plotArea><c:layout/>
<c:barChart><c:barDir val="col"/><c:grouping val="clustered"/><c:varyColors val="0"/>
<c:ser><c:idx val="0"/><c:order val="0"/><c:val><c:numRef><c:f>Data!$A$1:$A$3</c:f></c:numRef></c:val></c:ser>
<c:axId val="1"/><c:axId val="2"/></c:barChart>
<c:catAx><c:axId val="1"/><c:scaling><c:orientation val="minMax"/></c:scaling><c:delete val="0"/><c:axPos val="b"/><c:crossAx val="2"/></c:catAx>
<c:valAx><c:axId val="2"/><c:scaling><c:orientation val="minMax"/></c:scaling><c:delete val="0"/><c:axPos val="l"/><c:crossAx val="1"/></c:valAx>
</c:plotArea></c:chart></c:chartSpace>'''

DRAWING = f'''<?xml version="1.0" encoding="UTF-8"?>
<xdr:wsDr xmlns:xdr="http://schemas.openxmlformats.org/drawingml/2006/spreadsheetDrawing"
 xmlns:a="http://schemas.openxmlformats.org/drawingml/2006/main">
<xdr:absoluteAnchor><xdr:pos x="0" y="0"/><xdr:ext cx="8000000" cy="5000000"/>
<xdr:graphicFrame macro=""><xdr:nvGraphicFramePr><xdr:cNvPr id="2" name="Chart 1"/><xdr:cNvGraphicFramePr/></xdr:nvGraphicFramePr>
<xdr:xfrm><a:off x="0" y="0"/><a:ext cx="8000000" cy="5000000"/></xdr:xfrm>
<a:graphic><a:graphicData uri="http://schemas.openxmlformats.org/drawingml/2006/chart">
<c:chart xmlns:c="http://schemas.openxmlformats.org/drawingml/2006/chart" xmlns:r="{REL}" r:id="rId1"/>
</a:graphicData></a:graphic></xdr:graphicFrame><xdr:clientData/></xdr:absoluteAnchor></xdr:wsDr>'''


def rels(items):
    body = ''.join(f'<Relationship Id="{i}" Type="{REL}/{t}" Target="{target}"/>'
                   for i, t, target in items)
    return f'<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="{PKG}">{body}</Relationships>'


def workbook(path, sheets):
    """sheets: (name, kind, content, state) with kind 'worksheet' or 'chartsheet'."""
    overrides = [('/xl/workbook.xml', CT + 'spreadsheetml.sheet.main+xml')]
    parts = {}
    entries, wb_rels = [], []
    for n, (name, kind, content, state) in enumerate(sheets, start=1):
        folder = 'worksheets' if kind == 'worksheet' else 'chartsheets'
        part = f'xl/{folder}/sheet{n}.xml'
        parts[part] = content
        overrides.append((f'/{part}', CT + f'spreadsheetml.{kind}+xml'))
        wb_rels.append((f'rId{n}', kind, f'{folder}/sheet{n}.xml'))
        hidden = f' state="{state}"' if state else ''
        entries.append(f'<sheet name="{name}" sheetId="{n}"{hidden} r:id="rId{n}"/>')
        if kind == 'chartsheet':
            parts[f'xl/{folder}/_rels/sheet{n}.xml.rels'] = rels(
                [('rId1', 'drawing', '../drawings/drawing1.xml')])
            parts['xl/drawings/drawing1.xml'] = DRAWING
            parts['xl/drawings/_rels/drawing1.xml.rels'] = rels(
                [('rId1', 'chart', '../charts/chart1.xml')])
            parts['xl/charts/chart1.xml'] = CHART
            overrides.append(('/xl/drawings/drawing1.xml', CT + 'drawing+xml'))
            overrides.append(('/xl/charts/chart1.xml', CT + 'drawingml.chart+xml'))
    parts['xl/workbook.xml'] = (f'<?xml version="1.0" encoding="UTF-8"?><workbook {NS}><sheets>'
                                + ''.join(entries) + '</sheets></workbook>')
    parts['xl/_rels/workbook.xml.rels'] = rels(wb_rels)
    parts['_rels/.rels'] = rels([('rId1', 'officeDocument', 'xl/workbook.xml')])
    types = ('<?xml version="1.0" encoding="UTF-8"?><Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
             '<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>'
             '<Default Extension="xml" ContentType="application/xml"/>'
             + ''.join(f'<Override PartName="{p}" ContentType="{t}"/>' for p, t in overrides)
             + '</Types>')
    with zipfile.ZipFile(path, 'w', zipfile.ZIP_DEFLATED) as z:
        z.writestr('[Content_Types].xml', types)
        for name, content in parts.items():
            z.writestr(name, content)


CHARTSHEET = (f'<?xml version="1.0" encoding="UTF-8"?><chartsheet {NS}>'
              '<sheetViews><sheetView workbookViewId="0"/></sheetViews><drawing r:id="rId1"/></chartsheet>')

workbook('chart-sheet.xlsx', [
    ('Data', 'worksheet', worksheet([(1, [('A1', 1)]), (2, [('A2', 2)]), (3, [('A3', 3)])]), None),
    ('Chart1', 'chartsheet', CHARTSHEET, None),
    ('Notes', 'worksheet', worksheet([(1, [('A1', 'see chart')])]), None),
    ('Summary', 'worksheet', worksheet([(1, [('A1', '=SUM(Data!A1:A3)')])]), None),
])
workbook('hidden-sheet.xlsx', [
    ('Shown', 'worksheet', worksheet([(1, [('A1', 'visible')])]), None),
    ('Secret', 'worksheet', worksheet([(1, [('A1', 42), ('B1', '=A1*2')])]), 'hidden'),
])
workbook('empty-a1.xlsx', [
    ('Sheet1', 'worksheet', worksheet([(1, [('B1', 7)]), (2, [('A2', 'below')])]), None),
])
# Cells holding a tab, and a carriage return and line feed, which the exchange text cannot
# carry as they are.
workbook('tab-in-cell.xlsx', [
    ('Sheet1', 'worksheet', worksheet([(1, [('A1', 'x\ty'), ('B1', 'z')]),
                                       (2, [('A2', 'two&#13;&#10;lines'), ('B2', 'w')])]), None),
])
# One stray cell in the last row and column: the office's text of it would take 17 GB.
workbook('far-cell.xlsx', [
    ('Sheet1', 'worksheet', worksheet([(1, [('A1', 'near')]),
                                       (1048576, [('XFD1048576', 'far')])]), None),
])
with open('garbage.xls', 'wb') as f:
    f.write(b'This is not a workbook, only text that pretends to be one.\n' * 4)
