# A second, independent implementation of the valuation in Python, written from the formulas
# rather than from the C++ engine, that produces the golden reports and grids the engine tests
# compare against.  Python floats are IEEE doubles and math.log is the natural logarithm, so the
# arithmetic is the engine's; the number patterns round the exact binary value half away from
# zero through Decimal.
#
#     python3 reference_valuation.py      (rewrites the golden files beside it)
import math, sys
from decimal import Decimal, ROUND_HALF_UP

def F(x, pat, sep='.'):
    dec = len(pat.split('.')[1]) if '.' in pat else 0
    zeros = pat.split('.')[0].count('0')
    q = Decimal(x).quantize(Decimal(1).scaleb(-dec), rounding=ROUND_HALF_UP)
    neg = q < 0
    s = format(abs(q), 'f')
    ip, _, fp = s.partition('.')
    ip = ip.lstrip('0') or ''
    ip = ip.rjust(zeros, '0')
    out = ip + ((sep + fp) if dec else '')
    if neg and any(c in '123456789' for c in out): out = '-' + out
    return out

HC = {('t','N'):(0.0225,5.711,-220.606,4600.799,-9.89,-47.298,0.0022,-0.303,0.039),
      ('t','S'):(0.17*0.17,5.444,-303.288,12257.2,-4.736,-102.286,0.00236,0.601,-0.583),
      ('g','N'):(0.0225,5.833,-266.78,3907.059,-4.22,4.683,0.00183,-0.18,0.00246),
      ('g','S'):(0.0225,5.832,-237.782,2572.936,-8.894,54.548,0.00133,-0.034,-0.065)}
TC = {('g','N'):(12.906,110.68,2.906,102.7,3.24),('t','N'):(12.177,128.16,2.493,106.67,3.24),
      ('g','S'):(13.479,132.69,2.164,99.532,3.24),('t','S'):(13.646,171.7,1.529,98.601,3.24)}

def run(p, pine, spruce, sep='.'):
    L = []; rows = []
    out = L.append
    art, sv = p['art'], p['sv']
    rant = p['rant'] * 0.01
    kv = [0, p['bkv'], p['akv'], p['tkv']]
    out(''); out('            RÄNTABILITETEN HOS TRÄD'); out('')
    out('  Kvistel, värdering av enskilda träd i naturkultur'); out('')
    out('Norra Sverige' if sv == 'N' else 'Södra Sverige')
    out('Räntekrav ' + F(rant*100,'###0.0',sep) + ' %,   Bonitet, m 100 år = ' + F(p['site'],'#0',sep) + ' Plantering=' + p['plant'] + ' Avverknint. ' + F(p['harvpr'],'##0',sep) + ' %')
    out('Massapris Tall ' + F(p['mt'],'###0',sep) + ' Gran ' + F(p['mg'],'###0',sep) + ' Björk ' + F(p['mb'],'###0',sep) + ' kr/m3, Trädart= ' + art)
    out('Potentiell kvalitet i första stock, ' + F(kv[1],'#0',sep) + ', i andrastock, ' + F(kv[2],'#0',sep) + ', i tredjestock, ' + F(kv[3],'#0',sep))
    out('')
    pulp_price = {'t':p['mt'],'g':p['mg'],'b':p['mb'],'l':0}[art]
    bdm = p['bdm']; crown = (100 - p['kronst'])/200
    netprev = 1.0
    ln10 = math.log(10)
    for pass_no in range(12):
        years = 10*pass_no
        v,c0,p1,p2,q1,q2,s,k1,k2 = HC[(art,sv)]
        D = bdm*10+50; A = 100.0
        x = v/2+c0; x += p1/D; x += p2/(D*D); x += q1/A; x += q2/(A*A); x += p['site']*s*10; x += p['dkvot']*k1; x += p['dkvot']*k2*p['dkvot']
        h = math.exp(x)/10 + p['hojdjust']
        ring = p['ring5']
        if years < 20: out('pga liten krona reduceras årsringen under följande 10 år till = ' + F((1-crown)*100,'##0',sep) + '%')
        ring = ring*(1-crown); crown = crown/2
        if years >= 20: ring = p['ring5']
        out('       ' + '*'*53)
        out('bhdiam= ' + F(bdm,'###0.00',sep) + ' cm, höjden= ' + F(h,'#0.00',sep) + ' m,  årsring= ' + F(ring,'###0.00',sep) + ' mm,')
        out('AVVERKNING OM ' + F(years,'##0',sep) + ' ÅR')
        d = bdm
        if art == 't': stem = (0.03069*d*d*h + 0.09314*d*d + 0.002818*d*h*h)/1000
        if art == 'g': stem = (0.01504*d*d*h + 0.1202*d*d + 0.02341*d*h*h - 0.0659*h*h)/1000
        a,b,c,dd,e = TC[(art,sv)]
        tops = [0,0,0,0]; vols = [0,0,0,0]; vals = [0,0,0,0]
        log_no = 1
        while log_no <= 3:
            rel_bh = 100 - a*math.log(13000/h+1)/ln10
            ref = bdm/(rel_bh/100)
            rel_top = [0,4.7,9.2,13.7][log_no]/h
            if not rel_top < 0.6: top = ref*(b*math.log((1-rel_top)*c+1)/ln10)/100
            stump = ref*(100 - a*math.log(2000/h+1)/ln10)/100
            top_len = (h+60)/(c+5)*(math.exp(500/(ref*b))-1)+1
            tpd = ref*(b*math.log((1-(h-top_len)/h)*c+1)/ln10)/100
            if rel_top <= 0.6: top = ref*(dd*math.log((1-rel_top)*e+1)/ln10)/100
            tops[log_no] = top
            out(['','  förstastockens','  andrastockens','  tredjestockens'][log_no] + ' toppdiameter är ' + F(top,'###0.00',sep) + ' cm')
            q = kv[log_no]
            if q == 1 and top < 20: q = 4
            if q == 3 and top < 20: q = 4
            if q == 1 and 20 <= top <= 25: q = 3
            pq = q if art == 't' else kv[log_no]
            table = pine if art == 't' else spruce
            price = 0
            for j in range(1, 11):
                if top >= 12 + 2*(j-1): price = table[pq][j]
            out(' kubikmeterpriset på timret är ' + F(price,'###0',sep) + ' kr')
            dv = top + 0.1
            vol = 3.1416*(0.876 if art == 't' else 0.897)*(dv/200)**2*4.5
            out((' talltimmervolym ' if art == 't' else ' grantimmervolym ') + F(vol,'0.0000',sep) + ' m3f ')
            vols[log_no] = vol; vals[log_no] = vol*price
            for k in (1,2,3):
                if tops[k] < 12: vols[k] = 0; vals[k] = 0
            tvol = vols[1]+vols[2]+vols[3]
            if bdm < 6.5: out('     trädets virkesvärde 0  kr')
            log_no += 1 if top > 15 else 3
        tl = 0.2
        if tops[1] >= 12: tl = 4.5
        if tops[2] >= 12: tl = 9.0
        if tops[3] >= 12: tl = 13.5
        tval = vals[1]+vals[2]+vals[3]
        pl = h - 0.2 - tl - top_len
        low = stump
        for k in (1,2,3):
            if tops[k] >= 12: low = tops[k]
        pv = 0.2618*pl*(low*low/10000 + tpd*tpd/10000 + low*tpd/10000) if pl > 3.0 else 0
        pv *= 0.89
        out('Massaved nedre diam, cm ' + F(low,'#0.00',sep) + ' Massaved övre diam, cm  ' + F(tpd,'#0.00',sep))
        pval = max(pulp_price*pv, 0)
        merch = pv + tvol
        if tops[1] >= 12:
            out('Massaved ovan timret: längd ' + F(pl,'#0.00',sep) + ' m, volym ' + F(pv,'#0.000',sep) + ' m3f, värde ' + F(pval,'###0',sep) + ' kr')
            out('Värde: första stock ' + F(vals[1],'###0',sep) + ', andra ' + F(vals[2],'###0',sep) + ', tredje ' + F(vals[3],'###0',sep) + ', timmervärde tot ' + F(tval,'###0',sep) + ' kr')
            wood = pval + tval
        else:
            wood = pval
        out('Totalvolym enl vol.formel= ' + F(stem-0.0022,'#0.000',sep) + ' m3f p.b.,gagnvirkesvol ' + F(merch,'#0.000',sep) + 'm3f p.b.')
        av, aj, hp = p['avvandel'], p['avvjust'], p['harvpr']
        base = (100-av)*merch*75/100 + av*75*0.168/100
        f = 2 - 0.02*hp + 0.0001*hp**2
        out('Avv.int. i % av bestånd med full täthet ' + F(hp,'#0.00',sep))
        hc = aj*(base*f)/100
        net = wood - hc
        pc = p['plantcost']*h*h*3.1416*0.2*0.2/4 if p['plant'] == 'y' else 0
        net -= pc
        if merch == 0:
            out('           Trädet ger inget gagnvirke'); merch = 1000000
        npm = net/merch
        out('avv.kostn. ' + F(hc,'###0',sep) + ' kr/träd,  ' + F(hc/merch,'###0',sep) + ' kr/m3')
        out('planteringskostn. ' + F(pc,'###0',sep) + ' kr/träd,  ' + F(pc/merch,'###0',sep) + ' kr/m3,')
        out('Trädets; virkesvärde; ' + F(wood,'###0',sep) + ' kr/träd,  ' + F(wood/merch,'###0',sep) + ' krm3')
        out('Trädets; drivn.netto; ' + F(net,'###0',sep) + ' kr,  Drivn.netto/m3 gagnvirke  ' + F(npm,'###0',sep) + ' kr/m3')
        out(''); out(''); out('      ' + '_'*40)
        ratio = net/netprev if net > 0 else 0
        inc = net - netprev
        factor = math.exp(math.log(ratio)/10) if ratio > 0 else 0
        interest = (factor-1)*100
        pvv = net/math.exp(years*math.log(1+rant))
        if years > 9:
            out(' Trädets värdeökning de sista 10 åren är    ' + F(inc,'###0',sep) + '  kr')
            out('uttryckt i ränta på ränta under de sista 10 åren är   ' + F(interest,'#0.00',sep) + ' %')
            out(' Trädets nuvärde: ' + F(pvv,'###0',sep) + ' kr, avv. om ' + F(years,'##0',sep) + ' år, (räntekrav= ' + F(rant*100,'#0',sep) + '%)')
        # Harvest now has no rate; its present value is its net value (undiscounted).
        row = [' ' if years < 9 else F(interest,'#0.00',sep), F(pvv,'#0',sep),
               F(net,'#0',sep), F(npm,'#0',sep), F(merch,'#0.00',sep), F(h,'#0.0',sep), F(bdm,'#0',sep),
               F(tops[1],'#0',sep), F(tops[2],'#0',sep), F(tops[3],'#0',sep), F(vals[1],'#0',sep), F(vals[2],'#0',sep),
               F(vals[3],'#0',sep), F(pval,'#0',sep), F(wood/merch,'#0',sep), F(hc/merch,'#0',sep), F(pc/merch,'#0',sep)]
        rows.append(row)
        netprev = net
        out('     ' + '_'*43)
        bdm = (ring+ring)/10*10 + bdm
    out(' ' + '-'*53)
    for i in range(4): out('')
    return L, rows

def sample_prices():
    def table(base):
        t = [[0]*16 for _ in range(6)]
        for q in range(1,6):
            for j in range(1,11): t[q][j] = base + 30*j - 60*q
        return t
    return table(560), table(540)


def write_golden(name, params, sep):
    pine, spruce = sample_prices()
    lines, rows = run(params, pine, spruce, sep)
    with open(name + '_report.txt', 'wb') as f:
        f.write(''.join(l + '\r\n' for l in lines).encode('cp1252'))
    with open(name + '_grid.txt', 'wb') as f:
        f.write(''.join('|'.join(r) + '\r\n' for r in rows).encode('cp1252'))

if __name__ == '__main__':
    # The test support's sample tree: pine in southern Sweden, in a C locale.
    write_golden('pine_south', dict(sv='S', plantcost=5.0, rant=3, harvpr=50, avvandel=30,
                 avvjust=100, mt=250, mg=270, mb=240, art='t', bdm=30, site=24, plant='y',
                 ring5=3, kronst=60, hojdjust=0, dkvot=0.8, bkv=1, akv=2, tkv=3), '.')
    # A spruce in northern Sweden with a full crown, in a Swedish locale.
    write_golden('spruce_north', dict(sv='N', plantcost=8.5, rant=2.5, harvpr=100, avvandel=0,
                 avvjust=120, mt=250, mg=270, mb=240, art='g', bdm=24, site=22, plant='n',
                 ring5=2, kronst=100, hojdjust=1.5, dkvot=0.9, bkv=1, akv=1, tkv=2), ',')
