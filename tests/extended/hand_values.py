# Hand values of tests/extended: the published formulas in plain Python (CODATA 1998
# constants, as src/thermo/constants.hpp). Run: python3 tests/extended/hand_values.py
import os
import math
k=1.3806503e-23; h=6.62606876e-34; c=299792458.0; NA=6.02214199e23; R=k*NA
def freqs(f):
    out=[];on=False
    for line in open(os.path.join(os.path.dirname(os.path.abspath(__file__)), '../../examples/oh_ch4', '')+f):
        if 'Frequency' in line: on=True; continue
        if on and len(line)>=22 and line[4:13].strip() and line[:4].strip().isdigit():
            out.append(float(line[4:13]))
    return out
def real(fs): return [x for x in fs if x>0.1]
def SHO(wn,T):
    u=h*c*100*wn/(k*T); return R*(u/math.expm1(u)-math.log(-math.expm1(-u)))
def EthHO(wn,T):  # J/mol thermal
    u=h*c*100*wn/(k*T); return R*T*u/math.expm1(u)
def ZPE(wn): return h*c*100*wn/2*NA  # J/mol
def SFR(wn,T,bav=1e-44):
    nu=c*100*wn; mu=h/(8*math.pi**2*nu); mup=mu*bav/(mu+bav)
    return R*(0.5+math.log(math.sqrt(8*math.pi**3*mup*k*T/h**2)))
def w(wn,cut=100.0): return 1/(1+(cut/wn)**4)
T=300.0
ts=real(freqs('ts1.dat')); ch4=real(freqs('ch4.dat')); oh=real(freqs('oh.dat'))
print('ts',ts); print('ch4',ch4,'oh',oh)
RT=R*T
# Grimme: factor exp(sum_TS dS/R - sum_R dS/R)
def dSg(m): return sum((w(x)*SHO(x,T)+(1-w(x))*SFR(x,T))-SHO(x,T) for x in m)
print('grimme kQ factor %.12g'%math.exp((dSg(ts)-dSg(ch4)-dSg(oh))/R))
def dSt(m): return sum((SHO(100.0,T)-SHO(x,T)) for x in m if x<100.0)
print('truhlar kQ factor %.12g'%math.exp((dSt(ts)-dSt(ch4)-dSt(oh))/R))
# enthalpy: per mode E = w(ZPE+Eth)+(1-w)RT/2 ; ZPE'=w ZPE ; q0 = exp(S_HO/R - (E-ZPE')/RT)
def lnq_h(m): return sum(SHO(x,T)/R-(w(x)*(ZPE(x)+EthHO(x,T))+(1-w(x))*RT/2-w(x)*ZPE(x))/RT for x in m)
def lnq_ho(m): return sum(SHO(x,T)/R-EthHO(x,T)/RT for x in m)
def zd(m): return sum((w(x)-1)*ZPE(x) for x in m)
ddH0=zd(ts)-zd(ch4)-zd(oh)
print('enthalpy ddH0 kJ/mol %.12g'%(ddH0/1000))
f=math.exp((lnq_h(ts)-lnq_ho(ts))-(lnq_h(ch4)-lnq_ho(ch4))-(lnq_h(oh)-lnq_ho(oh))-ddH0/RT)
print('enthalpy kQ factor %.12g'%f)
# scale 0.95 (zpe default same)
F=0.95
def z(m): return sum(ZPE(x) for x in m)
ddH0=(F-1)*(z(ts)-z(ch4)-z(oh))
print('scale ddH0 kJ/mol %.12g'%(ddH0/1000))
def lnq(m,s): return sum(-math.log(-math.expm1(-h*c*100*s*x/(k*T))) for x in m)
f=math.exp(lnq(ts,F)-lnq(ts,1)-lnq(ch4,F)+lnq(ch4,1)-lnq(oh,F)+lnq(oh,1)-ddH0/RT)
print('scale kQ factor %.12g'%f)
# zpe-scale 0.9 with scale 1: only ZPE
ddH0=(0.9-1)*(z(ts)-z(ch4)-z(oh)); print('zpe-scale 0.9 ddH0 %.12g  factor %.12g'%(ddH0/1000, math.exp(-ddH0/RT)))
# levels OH
c2=h*c*100/k
Qel=2+2*math.exp(-c2*139.7/T); print('Qel OH %.12g  kQ factor %.12g'%(Qel,2/Qel))
U=R*T*T*(2*math.exp(-c2*139.7/T)*c2*139.7/T**2)/Qel
print('Uel J/mol %.12g  Sel %.12g'%(U, R*math.log(Qel)+U/T))
sh=-(2*139.7)/4*h*c*100*NA/1000; print('OH shift kJ/mol %.12g kQ factor %.12g'%(sh, math.exp(sh*1000/RT)))
cl=-(2*882.35)/6; print('Cl shift cm-1 %.12g kJ/mol %.12g'%(cl, cl*h*c*100*NA/1000))
# single-mode hand values at 298.15
T2=298.15
for x in (10.0,50.0,100.0,3000.0):
    print('wn %g T %g SHO %.12g SFR %.12g w %.12g'%(x,T2,SHO(x,T2),SFR(x,T2),w(x)))
print('--- small molecule modes 50, 1500 at 298.15')
T=298.15; RT=R*T; m=[50.0,1500.0]
def row(name,S,Z,Hth):
    print('{"%s", %.12g, %.12g, %.12g},'%(name,S,Z/1000,Hth/1000))
row('harmonic', sum(SHO(x,T) for x in m), sum(ZPE(x) for x in m), sum(EthHO(x,T) for x in m))
row('grimme', sum(w(x)*SHO(x,T)+(1-w(x))*SFR(x,T) for x in m), sum(ZPE(x) for x in m), sum(EthHO(x,T) for x in m))
row('grimme cutoff 50 bav 2e-44', sum(w(x,50)*SHO(x,T)+(1-w(x,50))*SFR(x,T,2e-44) for x in m), sum(ZPE(x) for x in m), sum(EthHO(x,T) for x in m))
row('truhlar', SHO(100,T)+SHO(1500,T), sum(ZPE(x) for x in m), sum(EthHO(x,T) for x in m))
row('enthalpy', sum(SHO(x,T) for x in m), sum(w(x)*ZPE(x) for x in m), sum(w(x)*EthHO(x,T)+(1-w(x))*RT/2 for x in m))
row('scale 0.9', sum(SHO(0.9*x,T) for x in m), 0.9*sum(ZPE(x) for x in m), sum(EthHO(0.9*x,T) for x in m))
row('scale 0.9 zpe 0.97', sum(SHO(0.9*x,T) for x in m), 0.97*sum(ZPE(x) for x in m), sum(EthHO(0.9*x,T) for x in m))
row('grimme scale 0.9', sum(w(0.9*x)*SHO(0.9*x,T)+(1-w(0.9*x))*SFR(0.9*x,T) for x in m), 0.9*sum(ZPE(x) for x in m), sum(EthHO(0.9*x,T) for x in m))
