#pragma once
// Waybill layout (placeholder until printing lands).
