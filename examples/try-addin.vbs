' Plays the spreadsheet host for Ledgerlink.dll, so that a person can try the add-in under Wine
' (or Windows) without the spreadsheet program: it connects the add-in to the host stand-in,
' opens a workbook or tab-delimited text file, clicks one item of the add-in's menu and lists
' the worksheets afterwards. The add-in's real dialogs appear and are answered by hand.
'
'   wine cscript //nologo try-addin.vbs FILE "MENU ITEM"
'
' MENU ITEM is a caption of the menu, "&" included: "&Export to ZQ Tabulex",
' "&Import from ZQ Tabulex", "&Convert and Send to Device", "ZQ Tabulex &Help" or
' "&About ZQ Tabulex Converter...". The README says which servers to register first.
Option Explicit

Const ConnectAfterStartup = 0

If WScript.Arguments.Count <> 2 Then
  WScript.Echo "usage: cscript //nologo try-addin.vbs FILE ""MENU ITEM"""
  WScript.Quit 2
End If

Dim host, addin, item, book, i
Set host = CreateObject("Excel.Application")
Set addin = CreateObject("TabulexConverterPlugin.Connect")
addin.OnConnection host, ConnectAfterStartup, Nothing, Array()

' The host refuses strings passed by reference, as a variable would be: CStr passes a copy.
Set book = host.Workbooks.Open(CStr(WScript.Arguments(0)))
Set item = host.CommandBars.FindControl(, , CStr(WScript.Arguments(1)))
If item Is Nothing Then
  WScript.Echo "The add-in's menu has no item """ & WScript.Arguments(1) & """"
  WScript.Quit 1
End If
item.Execute

' The About box stays open while a message box keeps the host's thread answering it.
If InStr(WScript.Arguments(1), "About") > 0 Then
  MsgBox "Press OK to disconnect the add-in.", vbOKOnly, "Try Ledgerlink"
End If

For i = 1 To book.Worksheets.Count
  WScript.Echo "Worksheet " & i & ": " & book.Worksheets.Item(CLng(i)).Name & _
               ", A1 = """ & book.Worksheets.Item(CLng(i)).Range("A1").Formula & """"
Next
addin.OnDisconnection 0, Array()
