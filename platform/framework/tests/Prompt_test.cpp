#include <gtest/gtest.h>
#include <afxquill.h>
