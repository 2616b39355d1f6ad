// The converter object: ITabulex over the conversion driver, aggregatable.
#pragma once

#include "converter/com/TabulexConverter_h.h"
#include "converter/driver/Converter.h"

namespace tabulex::com {

class Tabulex final : public ITabulex, public ISupportErrorInfo {
 public:
  // Creates an object; with an outer unknown only IID_IUnknown may be asked for.
  static HRESULT Create(IUnknown* outer, REFIID riid, void** object);

  // Delegating IUnknown of ITabulex and ISupportErrorInfo: everything goes to the controlling
  // unknown (the outer object when aggregated).
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  HRESULT STDMETHODCALLTYPE SetTheFileName(BSTR bstrTheFileName) override;
  HRESULT STDMETHODCALLTYPE GetTheFileName(BSTR* bstrRetVal) override;
  HRESULT STDMETHODCALLTYPE WorkbookToText(BSTR bstrWorkbookName,
                                           BSTR bstrstrTextFileNames) override;
  HRESULT STDMETHODCALLTYPE GetExcelSheetNames(BSTR bstrExcelWorkbookFullPathName,
                                               VARIANT* vRetSheetNames) override;
  HRESULT STDMETHODCALLTYPE Convert(BSTR bstrInputFileNameWithPath, ::TABULEX_FILE_TYPES fromType,
                                    BSTR bstrSheetName, BSTR bstrOutputFileNameWithPath,
                                    BSTR saveInternalName, ::TABULEX_FILE_TYPES toType,
                                    LONG bOverwrite) override;

  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) override;

 private:
  // The object's own, non-delegating IUnknown: the one an outer object holds.
  class Inner final : public IUnknown {
   public:
    explicit Inner(Tabulex& owner) : owner_(owner) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

   private:
    Tabulex& owner_;
  };

  explicit Tabulex(IUnknown* outer);
  ~Tabulex();

  LONG references_ = 1;
  Inner inner_;
  IUnknown* controlling_;
  Converter converter_;
};

}  // namespace tabulex::com
