int Count = 3000000000;
int Low = -3e9;
technique T { pass P { ZEnable = true; } }
