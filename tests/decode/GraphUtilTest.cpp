#include "decode/GraphUtil.h"
#include "decode/CSampleGrabberCB.h"
#include "framework/CComInitialiser.h"
#include <gtest/gtest.h>

EXTERN_C const CLSID CLSID_NullRenderer;

namespace {

class GraphUtil : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                                               IID_IGraphBuilder, graph.ReceiveVoid())));
    }
    CComInitialiser com;
    CComPtr<IGraphBuilder> graph;
};

std::wstring PinName(IPin* pin) {
    PIN_INFO info = {};
    pin->QueryPinInfo(&info);
    if (info.pFilter)
        info.pFilter->Release();
    return info.achName;
}

} // namespace

TEST_F(GraphUtil, AddFilterByClsidCreatesAndAddsUnderTheName) {
    CComPtr<IBaseFilter> grabber;
    ASSERT_EQ(S_OK, AddFilterByClsid(graph.Get(), CLSID_SampleGrabber, L"AudioGrabber",
                                     grabber.Receive()));
    CComPtr<IBaseFilter> found;
    EXPECT_EQ(S_OK, graph->FindFilterByName(L"AudioGrabber", found.Receive()));
    EXPECT_EQ(grabber.Get(), found.Get());

    CComPtr<IBaseFilter> none;
    EXPECT_TRUE(FAILED(AddFilterByClsid(graph.Get(), GUID_NULL, L"x", none.Receive())));
    EXPECT_FALSE(none);
    EXPECT_EQ(E_POINTER, AddFilterByClsid(nullptr, CLSID_SampleGrabber, L"x", none.Receive()));
    EXPECT_EQ(E_POINTER, AddFilterByClsid(graph.Get(), CLSID_SampleGrabber, L"x", nullptr));
}

TEST_F(GraphUtil, PinsAreFoundByDirectionAndConnection) {
    CComPtr<IBaseFilter> grabber, renderer;
    ASSERT_EQ(S_OK,
              AddFilterByClsid(graph.Get(), CLSID_SampleGrabber, L"Grabber", grabber.Receive()));
    ASSERT_EQ(S_OK, AddFilterByClsid(graph.Get(), CLSID_NullRenderer, L"Null", renderer.Receive()));

    CComPtr<IPin> input = GetPinByIndex(grabber.Get(), PINDIR_INPUT, 0);
    CComPtr<IPin> output = GetPinByIndex(grabber.Get(), PINDIR_OUTPUT, 0);
    ASSERT_TRUE(input && output);
    EXPECT_EQ(L"Input", PinName(input.Get()));
    EXPECT_EQ(L"Output", PinName(output.Get()));
    EXPECT_FALSE(GetPinByIndex(grabber.Get(), PINDIR_OUTPUT, 1));
    EXPECT_FALSE(GetPinByIndex(nullptr, PINDIR_OUTPUT, 0));

    CComPtr<IPin> free;
    ASSERT_EQ(S_OK, GetUnconnectedPin(grabber.Get(), PINDIR_OUTPUT, free.Receive()));
    EXPECT_EQ(output.Get(), free.Get());
    EXPECT_EQ(E_FAIL, GetUnconnectedPin(renderer.Get(), PINDIR_OUTPUT, free.Receive()));
    EXPECT_FALSE(free);
}

TEST_F(GraphUtil, ConnectFiltersRefusesNullArguments) {
    CComPtr<IBaseFilter> grabber;
    ASSERT_EQ(S_OK,
              AddFilterByClsid(graph.Get(), CLSID_SampleGrabber, L"Grabber", grabber.Receive()));
    CComPtr<IPin> output = GetPinByIndex(grabber.Get(), PINDIR_OUTPUT, 0);
    EXPECT_EQ(E_POINTER, ConnectFilters(nullptr, grabber.Get(), grabber.Get()));
    EXPECT_EQ(E_POINTER,
              ConnectFilters(graph.Get(), static_cast<IBaseFilter*>(nullptr), grabber.Get()));
    EXPECT_EQ(E_POINTER, ConnectFilters(graph.Get(), output.Get(), nullptr));
    EXPECT_EQ(E_POINTER, ConnectFilters(graph.Get(), static_cast<IPin*>(nullptr), grabber.Get()));
}

TEST_F(GraphUtil, ConnectFiltersJoinsTheFirstFreePins) {
    CComPtr<IBaseFilter> grabber, renderer;
    ASSERT_EQ(S_OK,
              AddFilterByClsid(graph.Get(), CLSID_SampleGrabber, L"Grabber", grabber.Receive()));
    ASSERT_EQ(S_OK, AddFilterByClsid(graph.Get(), CLSID_NullRenderer, L"Null", renderer.Receive()));
    // A grabber with nothing upstream has no type to offer yet.
    EXPECT_TRUE(FAILED(ConnectFilters(graph.Get(), grabber.Get(), renderer.Get())));
    CComPtr<IPin> free;
    EXPECT_EQ(S_OK, GetUnconnectedPin(renderer.Get(), PINDIR_INPUT, free.Receive()));
}
